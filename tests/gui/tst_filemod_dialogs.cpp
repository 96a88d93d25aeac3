// The missing-values, Process If and transform dialogs driven through their
// controls: OK sets the rule, Cancel leaves the previous one in place.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "modifications/MissingValuesDialog.h"
#include "modifications/ProcessIfDialog.h"
#include "modifications/TransformDialog.h"
#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/modifications/FileModText.h"

using namespace amx;
using namespace amx::gui;

namespace {

void LoadSheet(Session& s) {
    s.worksheet.BeginLoad(2);
    const std::vector<std::vector<std::string_view>> rows = {{"a", "4"}, {"b", "9"}, {"a", "16"}};
    for (const auto& r : rows) s.worksheet.AppendRow(r);
    s.worksheet.EndLoad();
    s.worksheet.SetColumnName(1, "Lot");
    s.worksheet.SetColumnName(2, "Wt");
    UpdateData(s);
}

template <class T>
T* Find(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(name);
    if (!w) qFatal("control %s not found", name);
    return w;
}

void Click(QWidget& dialog, const char* name) { Find<QAbstractButton>(dialog, name)->click(); }

void Type(QWidget& dialog, const char* name, const QString& text) {
    QLineEdit* e = Find<QLineEdit>(dialog, name);
    e->clear();
    e->setFocus();
    QTest::keyClicks(e, text);
}

}  // namespace

class FileModDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void missingValuesOkAndCancel() {
        Session s;
        {
            TMissingForm dlg(s);
            dlg.show();
            Click(dlg, "Sign1Radio1");
            Type(dlg, "ValueEdit1", "999");
            Click(dlg, "Sign2Radio2");
            Type(dlg, "ValueEdit2", "1x000");  // the key filter drops the letter
            QCOMPARE(Find<QLabel>(dlg, "XLabel2")->text(), QString("X >"));
            Click(dlg, "OKButton");
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(dlg.StatusText(), QString("Missing: X = 999, or X > 1000"));
        }
        QVERIFY(s.Missing.Active);
        QCOMPARE(QString::fromStdString(s.MissingText2), QString("X > 1000"));
        {
            TMissingForm dlg(s);
            dlg.show();
            // It opens on the live rule.
            QVERIFY(Find<QRadioButton>(dlg, "Sign1Radio1")->isChecked());
            QCOMPARE(Find<QLineEdit>(dlg, "ValueEdit1")->text(), QString("999"));
            Click(dlg, "Sign1Radio0");
            QVERIFY(Find<QLineEdit>(dlg, "ValueEdit1")->isHidden());
            Click(dlg, "CancelButton");
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QCOMPARE(s.Missing.Sign1, std::uint8_t(1));
        QCOMPARE(QString::fromStdString(s.MissingText1), QString("X = 999"));
    }

    void processIfOkAndCancel() {
        Session s;
        LoadSheet(s);
        {
            TProcessIFForm dlg(s);
            dlg.show();
            // ">" without a selected column only beeps.
            Click(dlg, "MoveButton1");
            QVERIFY(Find<QLineEdit>(dlg, "NameEdit1")->text().isEmpty());
            QListWidget* list = Find<QListWidget>(dlg, "DataVariablesList");
            list->setCurrentRow(1);
            Click(dlg, "MoveButton1");
            QCOMPARE(Find<QLineEdit>(dlg, "NameEdit1")->text(), QString("Wt"));
            QCOMPARE(Find<QPushButton>(dlg, "MoveButton1")->text(), QString("<"));
            Find<QComboBox>(dlg, "RelationCombo1")->setCurrentIndex(PiRelation::In);
            Type(dlg, "ValueEdit1", "4,x16");  // letters are refused in a list
            list->setCurrentRow(0);
            Click(dlg, "MoveButton2");
            Find<QComboBox>(dlg, "RelationCombo2")->setCurrentIndex(PiRelation::Equal);
            Type(dlg, "ValueEdit2", "2");
            Click(dlg, "OrRadio");
            Click(dlg, "OKButton");
            QCOMPARE(dlg.StatusText(), QString("Process If: Wt in [4,16], Lot = 2"));
        }
        QVERIFY(s.ProcessIf.Active);
        QVERIFY(GetFileModString(s));
        QCOMPARE(QString::fromStdString(s.FileModString),
                 QString("Process If: Wt in [4,16] or\r\nProcess If: Lot = 2"));
        {
            TProcessIFForm dlg(s);
            dlg.show();
            QCOMPARE(Find<QLineEdit>(dlg, "ValueEdit1")->text(), QString("4,16"));
            QVERIFY(Find<QRadioButton>(dlg, "OrRadio")->isChecked());
            Click(dlg, "ResetButton");
            QVERIFY(Find<QLineEdit>(dlg, "NameEdit1")->text().isEmpty());
            QVERIFY(Find<QLineEdit>(dlg, "ValueEdit1")->isHidden());
            Click(dlg, "CancelButton");
        }
        QCOMPARE(QString::fromStdString(s.ProcessIfText1), QString("Wt in [4,16]"));
        {
            TProcessIFForm dlg(s);
            dlg.show();
            Click(dlg, "ResetButton");
            Click(dlg, "OKButton");
            QCOMPARE(dlg.StatusText(), QString("Process If Off"));
        }
        QVERIFY(!s.ProcessIf.Active);
    }

    void transformShowsAtOnceAndCancelRestores() {
        Session s;
        RecordingMessages msgs;
        s.messages = &msgs;
        LoadSheet(s);
        {
            TTransformForm dlg(s);
            dlg.show();
            QVERIFY(Find<QWidget>(dlg, "ConstantsGroup")->isHidden());
            Click(dlg, "TransformRadio1");
            Type(dlg, "AEdit", "2");
            Type(dlg, "BEdit", "-3");
            QCOMPARE(Find<QLabel>(dlg, "TransformLabel")->text(), QString("Transform: 2X -3"));
            QCOMPARE(int(s.Transform.no), 1);  // live while the dialog is open
            QVERIFY(Find<QWidget>(dlg, "CEdit")->isHidden());
            Click(dlg, "CancelButton");
        }
        QCOMPARE(int(s.Transform.no), 0);
        QCOMPARE(QString::fromStdString(s.Transform.astr), QString("1"));
        {
            TTransformForm dlg(s);
            dlg.show();
            Click(dlg, "TransformRadio3");
            QVERIFY(!Find<QWidget>(dlg, "CEdit")->isHidden());
            Find<QLineEdit>(dlg, "CEdit")->clear();
            QVERIFY(!Find<QPushButton>(dlg, "OKButton")->isEnabled());
            Type(dlg, "CEdit", "0");
            Click(dlg, "OKButton");  // refused: POWER2 divides by C
            QCOMPARE(msgs.Errors().size(), std::size_t(1));
            QVERIFY(dlg.isVisible());
            Type(dlg, "CEdit", "2");
            Click(dlg, "OKButton");
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(int(s.Transform.no), 3);
        QCOMPARE(double(s.Transform.C), 2.0);
    }

    void addTransformedVariable() {
        Session s;
        LoadSheet(s);
        s.Transform.no = 3;  // (X)^(1/2)
        s.Transform.Cstr = std::string(1, '2');
        s.Transform.C = 2;
        TTransformForm dlg(s);
        QSignalSpy changed(&dlg, &TTransformForm::WorksheetChanged);
        dlg.show();
        QListWidget* list = Find<QListWidget>(dlg, "VariablesCheckList");
        QCOMPARE(list->count(), 2);
        list->item(1)->setCheckState(Qt::Checked);
        Click(dlg, "TurnOffCheck");
        Click(dlg, "AddButton");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(s.worksheet.ColumnCount(), 3);
        QCOMPARE(QString::fromStdString(s.worksheet.ColumnName(3)), QString("f(Wt)"));
        QCOMPARE(QString::fromStdString(s.worksheet.Cell(3, 2)), QString("3"));
        QCOMPARE(list->count(), 3);
        QVERIFY(Find<QRadioButton>(dlg, "TransformRadio0")->isChecked());
        // Cancel afterwards keeps what was written and the transform as it was left.
        Click(dlg, "ModifyRadio");
        QCOMPARE(Find<QPushButton>(dlg, "AddButton")->text(), QString("&Modify"));
        Click(dlg, "CancelButton");
        QCOMPARE(int(s.Transform.no), 0);
        QCOMPARE(s.worksheet.ColumnCount(), 3);
    }
};

QTEST_MAIN(FileModDialogsTest)
#include "tst_filemod_dialogs.moc"

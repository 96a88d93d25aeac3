#include "shell/AboutBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include "shell/AppContext.h"
#include "shell/ShellDefaults.h"
#include "common/MessageHelpers.h"

namespace amx::gui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLabel* Big(const QString& text, int pointSize, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f("Arial", pointSize, QFont::Bold);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

WebLinkLabel::WebLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setStyleSheet("color: #0645ad; text-decoration: underline;");
}

void WebLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) OpenWebPage(App().session, MakerHomePage);
    QLabel::mouseReleaseEvent(e);
}

TAboutbox::TAboutbox(QWidget* parent) : QDialog(parent) {
    setObjectName("Aboutbox");
    setWindowTitle("About");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 18, 24, 14);
    auto* product = Big(Q(AppProductName), 18, this);
    product->setObjectName("ProductName");
    lay->addWidget(product);
    auto* version = new QLabel("Version: " + Q(BuildId), this);
    version->setObjectName("Version");
    version->setAlignment(Qt::AlignCenter);
    lay->addWidget(version);
    auto* maker = new QLabel(Q(MakerName), this);
    maker->setObjectName("Copyright");
    maker->setAlignment(Qt::AlignCenter);
    lay->addWidget(maker);
    QString host = Q(MakerHomePage);
    host.remove("https://").remove('/');
    auto* link = new WebLinkLabel(host, this);
    link->setObjectName("WebLink");
    link->setAlignment(Qt::AlignCenter);
    lay->addWidget(link);
    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();
    lay->addSpacing(8);
    lay->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

TSplashForm::TSplashForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("SplashForm");
    setAutoFillBackground(true);
    setStyleSheet("#SplashForm { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #c0c8d8);"
                  " border: 1px solid #404860; }");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(40, 30, 40, 30);
    lay->addWidget(Big(Q(AppProductName), 28, this));
    auto* v = new QLabel("Version: " + Q(BuildId), this);
    v->setAlignment(Qt::AlignCenter);
    lay->addWidget(v);
    auto* m = new QLabel(Q(MakerName), this);
    m->setAlignment(Qt::AlignCenter);
    lay->addWidget(m);
    resize(360, 200);
    if (QScreen* s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void TSplashForm::Hold(double seconds) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000.0) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

}  // namespace amx::gui

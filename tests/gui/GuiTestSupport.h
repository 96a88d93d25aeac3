#pragma once
// What every desktop test program sets up: an application context with a
// settings file of its own, recorded messages with scripted answers, and file
// dialogs that answer from a script instead of waiting for a user.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "shell/AppContext.h"
#include "shell/QtSettingsStore.h"

namespace amx::gui::test {

class ScriptedDialogs : public FileDialogs {
public:
    std::deque<QString> openNames, saveNames;
    std::deque<std::optional<SaveChoices>> configureAnswers;
    std::deque<QString> sheetAnswers;  // an empty name cancels; none left: the first sheet
    QStringList sheetsOffered;
    int configureCalls = 0, saveCalls = 0;

    QString OpenFileName(QWidget*, const QString&, const QString&) override { return Next(openNames); }
    QString SaveFileName(QWidget*, const QString&, const QString&) override {
        ++saveCalls;
        return Next(saveNames);
    }
    std::optional<SaveChoices> ConfigureSave(QWidget*, const SaveChoices& enabled) override {
        ++configureCalls;
        if (configureAnswers.empty()) return enabled;
        auto a = configureAnswers.front();
        configureAnswers.pop_front();
        return a;
    }

    std::optional<QString> ChooseSheet(QWidget*, const QString&, const QStringList& sheets) override {
        sheetsOffered = sheets;
        if (sheetAnswers.empty()) return sheets.front();
        const QString a = Next(sheetAnswers);
        if (a.isEmpty()) return std::nullopt;
        return a;
    }

private:
    static QString Next(std::deque<QString>& q) {
        if (q.empty()) return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

struct TestApp {
    QTemporaryDir dir;
    std::unique_ptr<AppContext> ctx;
    RecordingMessages* rec = nullptr;
    ScriptedDialogs* dialogs = nullptr;

    TestApp() {
        ctx = std::make_unique<AppContext>();
        ctx->settingsStore = std::make_unique<QtSettingsStore>(dir.filePath("Ambrolux.ini"));
        ctx->session.settings = ctx->settingsStore.get();
        auto r = std::make_unique<RecordingMessages>();
        rec = r.get();
        ctx->messagesImpl = std::move(r);
        ctx->session.messages = rec;
        auto d = std::make_unique<ScriptedDialogs>();
        dialogs = d.get();
        ctx->dialogs = std::move(d);
        ctx->mru.ReadList(ctx->session);
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return Path(name);
    }
};

}  // namespace amx::gui::test

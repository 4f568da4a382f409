#pragma once
#include "platform/dialogs.h"

#include <QStringList>

namespace testsupport {

// Dialogs for tests: records every message and request, answers file dialogs from a
// queue of prepared names (empty = cancelled).
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Message {
        QString title, text;
    };
    struct FileRequest {
        QString title, filter, folder, initialName;
    };

    void message(const QString& title, const QString& text) override { messages.push_back({title, text}); }
    QString openFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override {
        requests.push_back({title, filter, folder, initialName});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString saveFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override {
        return openFile(title, filter, folder, initialName);
    }

    QStringList answers;
    std::vector<Message> messages;
    std::vector<FileRequest> requests;
};

}  // namespace testsupport

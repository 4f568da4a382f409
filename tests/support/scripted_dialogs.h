#pragma once
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

namespace testsupport {

// Dialogs for tests: records every message and request, answers file dialogs from a
// queue of prepared names (empty = cancelled). A save dialog given the name of an existing
// file asks first, as the real one does: the question is recorded and answered from
// replaceAnswers (Yes when none is left); after "No" the dialog takes the next name.
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
        for (;;) {
            const QString name = openFile(title, filter, folder, initialName);
            if (name.isEmpty() || !QFileInfo::exists(name)) return name;
            replaceQuestions.push_back(name);
            if (replaceAnswers.isEmpty() || replaceAnswers.takeFirst()) return name;
        }
    }

    QStringList answers;
    QList<bool> replaceAnswers;
    QStringList replaceQuestions;
    std::vector<Message> messages;
    std::vector<FileRequest> requests;
};

}  // namespace testsupport

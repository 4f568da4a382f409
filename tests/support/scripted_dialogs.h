#pragma once
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <vector>

namespace testsupport {

// Dialogs for tests: records every message and request, answers file dialogs from a
// queue of prepared names (empty = cancelled) and questions from a queue of answers; a
// question with no answer queued waits until the test answers it. A save dialog given the
// name of an existing file asks first, as the real one does: the question is recorded and
// answered from replaceAnswers (Yes when none is left); after "No" the dialog takes the
// next name.
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Message {
        QString title, text;
    };
    struct FileRequest {
        QString title, filter, folder, initialName;
    };
    struct Question {
        QString title, text;
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
    // The filter entry chosen with each answer comes from chosenFilters (the first entry
    // when none is queued).
    SaveChoice saveFileTyped(const QString& title, const QString& filter, const QString& folder,
                             const QString& initialName) override {
        SaveChoice c;
        c.fileName = saveFile(title, filter, folder, initialName);
        c.filterIndex = chosenFilters.isEmpty() ? 0 : chosenFilters.takeFirst();
        return c;
    }
    void askYesNoCancel(const QString& title, const QString& text, std::function<void(Answer)> answered) override {
        questions.push_back({title, text});
        if (questionAnswers.isEmpty()) {
            pendingQuestion = std::move(answered);
            return;
        }
        answered(questionAnswers.takeFirst());
    }
    // Yes / No questions share the queue and the record of the Yes / No / Cancel ones:
    // only Answer::Yes is a yes.
    void askYesNo(const QString& title, const QString& text, std::function<void(bool)> answered) override {
        askYesNoCancel(title, text, [answered = std::move(answered)](Answer a) { answered(a == Answer::Yes); });
    }
    // Answers the question that is waiting; false when none is.
    bool answer(Answer a) {
        if (!pendingQuestion) return false;
        auto callback = std::move(pendingQuestion);
        pendingQuestion = nullptr;
        callback(a);
        return true;
    }

    QStringList answers;
    QList<int> chosenFilters;
    QList<Answer> questionAnswers;
    QList<bool> replaceAnswers;
    QStringList replaceQuestions;
    std::vector<Message> messages;
    std::vector<FileRequest> requests;
    std::vector<Question> questions;
    std::function<void(Answer)> pendingQuestion;
};

}  // namespace testsupport

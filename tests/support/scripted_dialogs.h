#pragma once
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

namespace testsupport {

// Dialogs for tests: records every message and request, answers file dialogs from a
// queue of prepared names (empty = cancelled) and questions from a queue of answers; a
// question with no answer queued waits until the test answers it. A save dialog given the
// name of an existing file asks first, as the real one does: the question is recorded and
// answered from replaceAnswers (Yes when none is left); after "No" the dialog takes the
// next name. Dialogs made by ownedBy share the record, and each entry says which window
// owned it (null: the main window).
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Message {
        QString title, text;
        QWidget* owner = nullptr;
    };
    struct FileRequest {
        QString title, filter, folder, initialName;
        QWidget* owner = nullptr;
    };
    struct Question {
        QString title, text;
        QWidget* owner = nullptr;
        bool saveChanges = false;  // Save / Don't Save / Cancel rather than Yes / No / Cancel
    };

    void message(const QString& title, const QString& text) override { messages.push_back({title, text, owner_}); }
    QString openFile(const QString& title, const QString& filter, const QString& folder,
                     const QString& initialName) override {
        requests.push_back({title, filter, folder, initialName, owner_});
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
        questions.push_back({title, text, owner_});
        answerOrWait(std::move(answered));
    }
    // Yes / No questions share the queue and the record of the Yes / No / Cancel ones:
    // only Answer::Yes is a yes.
    void askYesNo(const QString& title, const QString& text, std::function<void(bool)> answered) override {
        askYesNoCancel(title, text, [answered = std::move(answered)](Answer a) { answered(a == Answer::Yes); });
    }
    // The save-changes question shares them too, and is marked as such in the record.
    void askSaveChanges(const QString& title, const QString& text, std::function<void(Answer)> answered) override {
        questions.push_back({title, text, owner_, true});
        answerOrWait(std::move(answered));
    }
    std::unique_ptr<platform::Dialogs> ownedBy(std::function<QWidget*()> owner) override {
        return std::make_unique<Owned>(*this, std::move(owner));
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

private:
    // One window's view: the same script and record, each entry marked with the owner.
    class Owned final : public platform::Dialogs {
    public:
        Owned(ScriptedDialogs& base, std::function<QWidget*()> owner) : base_(base), owner_(std::move(owner)) {}
        void message(const QString& t, const QString& x) override {
            as([&] { base_.message(t, x); });
        }
        QString openFile(const QString& t, const QString& f, const QString& d, const QString& n) override {
            QString r;
            as([&] { r = base_.openFile(t, f, d, n); });
            return r;
        }
        QString saveFile(const QString& t, const QString& f, const QString& d, const QString& n) override {
            QString r;
            as([&] { r = base_.saveFile(t, f, d, n); });
            return r;
        }
        SaveChoice saveFileTyped(const QString& t, const QString& f, const QString& d, const QString& n) override {
            SaveChoice r;
            as([&] { r = base_.saveFileTyped(t, f, d, n); });
            return r;
        }
        void askYesNoCancel(const QString& t, const QString& x, std::function<void(Answer)> a) override {
            as([&] { base_.askYesNoCancel(t, x, std::move(a)); });
        }
        void askYesNo(const QString& t, const QString& x, std::function<void(bool)> a) override {
            as([&] { base_.askYesNo(t, x, std::move(a)); });
        }
        void askSaveChanges(const QString& t, const QString& x, std::function<void(Answer)> a) override {
            as([&] { base_.askSaveChanges(t, x, std::move(a)); });
        }
        std::unique_ptr<platform::Dialogs> ownedBy(std::function<QWidget*()> owner) override {
            return base_.ownedBy(std::move(owner));
        }

    private:
        template <class F>
        void as(F&& f) {
            QWidget* const before = base_.owner_;
            base_.owner_ = owner_ ? owner_() : nullptr;
            f();
            base_.owner_ = before;
        }
        ScriptedDialogs& base_;
        std::function<QWidget*()> owner_;
    };
    void answerOrWait(std::function<void(Answer)> answered) {
        if (questionAnswers.isEmpty()) {
            pendingQuestion = std::move(answered);
            return;
        }
        answered(questionAnswers.takeFirst());
    }
    QWidget* owner_ = nullptr;  // the owner of the dialog being recorded
};

}  // namespace testsupport

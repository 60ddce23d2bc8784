#pragma once

#include "recorder/core/dialogs.h"

#include <deque>
#include <vector>

// Answers the recorder's dialogs from queues and keeps what was shown.
class FakeDialogs : public sonaveil::recorder::Dialogs {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
    };
    QString saveFileName(QWidget*, const sonaveil::recorder::FileRequest& r) override;
    QString openFileName(QWidget*, const sonaveil::recorder::FileRequest& r) override;
    void message(QWidget*, Icon icon, const QString& title, const QString& text) override;
    bool question(QWidget*, Icon icon, const QString& title, const QString& text) override;

    std::deque<QString> saveAnswers; // "" (cancel) when empty
    std::deque<QString> openAnswers;
    std::deque<bool> questionAnswers; // No when empty
    std::vector<sonaveil::recorder::FileRequest> saveRequests;
    std::vector<sonaveil::recorder::FileRequest> openRequests;
    std::vector<Shown> messages;
    std::vector<Shown> questions;
};

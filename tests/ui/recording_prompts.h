// A stand-in for the window's modal dialogs: answers as a user would and remembers what it
// was asked and told.
#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "ui/window_prompts.h"

namespace its90::ui::testing {

class RecordingPrompts final : public WindowPrompts {
public:
    bool identification(form::Identification& id, RecordKind kind) override {
        offered.push_back(id);
        kinds.push_back(kind);
        if (!accept) return false;
        id = typed;
        return true;
    }
    std::optional<QString> save_path(const QString&, const QString& filter, const QString&) override {
        filters << filter;
        return path;
    }
    bool print_setup(QPrinter& printer) override {
        if (print_file.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(print_file);
        return true;
    }
    void error(const QString& text) override { errors << text; }
    void about(const QString& title, const QString& text) override { abouts << title + "\n" + text; }
    bool budget_name(QString& laboratory, QString& name) override {
        if (!accept) return false;
        laboratory = budget_laboratory;
        name = budget_called;
        return true;
    }
    bool sign_off(const QString& title, const QStringList& offered, bool reason, QString& person,
                  QString& comment) override {
        sign_offs << title;
        offered_people = offered;
        asked_reason = reason;
        if (!accept || signer.isEmpty()) return false;
        person = signer;
        comment = sign_comment;
        return true;
    }
    bool person(QString& name, bool& operator_role, bool& checker, bool& approver) override {
        if (!accept || new_person.isEmpty()) return false;
        name = new_person;
        operator_role = new_roles[0];
        checker = new_roles[1];
        approver = new_roles[2];
        return true;
    }
    bool confirm(const QString& title, const QString& question) override {
        questions << title + "\n" + question;
        return accept;
    }

    bool accept = true;
    form::Identification typed{"S-0421", "张三", "", false, "", "锌点电势录入有误"};
    std::optional<QString> path;
    QString print_file;
    std::vector<form::Identification> offered;
    std::vector<RecordKind> kinds;
    QStringList filters, errors, abouts, questions;
    QString budget_laboratory = QStringLiteral("一室"), budget_called = QStringLiteral("定点炉");
    // The sign-off: who is chosen, what they write, who is added with which roles.
    QString signer, sign_comment, new_person;
    std::array<bool, 3> new_roles{false, false, false};
    QStringList sign_offs, offered_people;
    bool asked_reason = false;
};

}  // namespace its90::ui::testing

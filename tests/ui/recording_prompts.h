// A stand-in for the window's modal dialogs: answers as a user would and remembers what it
// was asked and told.
#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>
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
};

}  // namespace its90::ui::testing

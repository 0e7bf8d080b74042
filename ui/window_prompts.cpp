#include "ui/window_prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>

#include "form/certificate.h"
#include "ui/modal_message_box.h"

namespace its90::ui {
namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QWidget* ModalWindowPrompts::owner() const {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr ? active : parent_;
}

bool ModalWindowPrompts::identification(form::Identification& id, RecordKind kind) {
    const bool calibration = kind == RecordKind::Calibration;
    QDialog dialog(owner());
    dialog.setObjectName("RecordIdentification");
    dialog.setWindowTitle(calibration                          ? QStringLiteral("校准记录")
                          : kind == RecordKind::Comparison ? QStringLiteral("比较法检定记录")
                                                           : QStringLiteral("电阻温度计记录"));
    auto* number = new QLineEdit(q(id.number), &dialog);
    number->setObjectName("number");
    auto* operator_name = new QLineEdit(q(id.operator_name), &dialog);
    operator_name->setObjectName("operator_name");
    auto* notes = new QPlainTextEdit(q(id.notes), &dialog);
    notes->setObjectName("notes");
    notes->setFixedHeight(64);
    auto* table = new QCheckBox(QStringLiteral("附 1 ℃ 分度表（300～1100 ℃）"), &dialog);
    table->setObjectName("one_degree_table");
    table->setChecked(id.one_degree_table);
    table->setVisible(calibration);
    // Asked while the window corrects a kept record.
    auto* reason = new QLineEdit(q(id.reason), &dialog);
    reason->setObjectName("reason");
    reason->setPlaceholderText(QStringLiteral("更正时必填：更正的原因"));
    // What the certificate states besides the results: may be left empty.
    const auto line = [&dialog](const std::string& text, const char* name, const char* hint) {
        auto* edit = new QLineEdit(q(text), &dialog);
        edit->setObjectName(name);
        edit->setPlaceholderText(QString::fromUtf8(hint));
        return edit;
    };
    auto* customer = line(id.customer, "customer", "证书上的委托单位");
    auto* standard = line(id.standard_used, "standard_used", "编号、证书编号、不确定度");
    auto* ambient = line(id.ambient_temperature, "ambient_temperature", "如 20.5");
    auto* humidity = line(id.relative_humidity, "relative_humidity", "如 45");
    auto* problem = new QLabel(&dialog);
    problem->setObjectName("problem");
    problem->setStyleSheet(QStringLiteral("color: #c62828"));
    problem->setWordWrap(true);
    problem->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    std::string temperature_typed, humidity_typed;
    // A condition that is no number keeps the dialog open, every field as typed.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        temperature_typed = ambient->text().toStdString();
        humidity_typed = humidity->text().toStdString();
        const std::string why = form::ambient_conditions_problem(temperature_typed, humidity_typed);
        problem->setText(q(why));
        problem->setVisible(!why.empty());
        if (why.empty()) dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    // What the number identifies: the thermocouple calibrated, the comparison's record, the
    // resistance thermometer.
    layout->addRow(calibration                          ? QStringLiteral("热电偶编号：")
                   : kind == RecordKind::Comparison ? QStringLiteral("记录编号：")
                                                    : QStringLiteral("温度计编号："),
                   number);
    layout->addRow(QStringLiteral("检定员："), operator_name);
    layout->addRow(QStringLiteral("备注："), notes);
    if (calibration) layout->addRow(table);
    const bool correcting = !id.corrects.empty();
    if (correcting) layout->addRow(QStringLiteral("修改原因："), reason);
    else reason->hide();
    layout->addRow(QStringLiteral("委托方："), customer);
    layout->addRow(QStringLiteral("标准器："), standard);
    layout->addRow(QStringLiteral("环境温度/℃："), ambient);
    layout->addRow(QStringLiteral("相对湿度/%RH："), humidity);
    layout->addRow(problem);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    id = {number->text().toStdString(),
          operator_name->text().toStdString(),
          notes->toPlainText().toStdString(),
          calibration && table->isChecked(),
          id.corrects,
          correcting ? reason->text().trimmed().toStdString() : std::string(),
          customer->text().trimmed().toStdString(),
          standard->text().trimmed().toStdString(),
          temperature_typed,
          humidity_typed};
    return true;
}

std::optional<QString> ModalWindowPrompts::save_path(const QString& title, const QString& filter,
                                                     const QString& suggested) {
    const QString path = QFileDialog::getSaveFileName(owner(), title, suggested, filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

bool ModalWindowPrompts::print_setup(QPrinter& printer) {
    QPrintDialog dialog(&printer, owner());
    return dialog.exec() == QDialog::Accepted;
}

void ModalWindowPrompts::error(const QString& text) {
    show_modal_message(owner(), text, QMessageBox::Warning);
}

void ModalWindowPrompts::about(const QString& title, const QString& text) {
    QMessageBox::about(parent_, title, text);
}

bool ModalWindowPrompts::confirm(const QString& title, const QString& question) {
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::NoButton, owner());
    QPushButton* yes = box.addButton(QStringLiteral("清除"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == yes;
}

bool ModalWindowPrompts::budget_name(QString& laboratory, QString& name) {
    QDialog dialog(owner());
    dialog.setWindowTitle(QStringLiteral("保存评定到记录簿"));
    auto* form = new QFormLayout(&dialog);
    auto* lab = new QLineEdit(laboratory, &dialog);
    auto* called = new QLineEdit(name, &dialog);
    form->addRow(QStringLiteral("实验室："), lab);
    form->addRow(QStringLiteral("评定名称："), called);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || called->text().trimmed().isEmpty()) return false;
    laboratory = lab->text().trimmed();
    name = called->text().trimmed();
    return true;
}

bool ModalWindowPrompts::sign_off(const QString& title, const QStringList& people, bool reason, QString& person,
                                  QString& comment) {
    QDialog dialog(owner());
    dialog.setObjectName("SignOff");
    dialog.setWindowTitle(title);
    dialog.setMinimumWidth(400);
    auto* form = new QFormLayout(&dialog);
    auto* who = new QComboBox(&dialog);
    who->addItems(people);  // chosen, never typed: only the laboratory's people sign
    auto* text = new QLineEdit(&dialog);
    text->setPlaceholderText(reason ? QStringLiteral("必填：退回的原因") : QStringLiteral("可选"));
    form->addRow(QStringLiteral("审核人："), who);
    form->addRow(reason ? QStringLiteral("退回原因：") : QStringLiteral("意见："), text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (people.isEmpty() || dialog.exec() != QDialog::Accepted) return false;
    person = who->currentText();
    comment = text->text().trimmed();
    return true;
}

bool ModalWindowPrompts::person(QString& name, bool& operator_role, bool& checker, bool& approver) {
    QDialog dialog(owner());
    dialog.setObjectName("Person");
    dialog.setWindowTitle(QStringLiteral("实验室人员"));
    dialog.setMinimumWidth(360);
    auto* form = new QFormLayout(&dialog);
    auto* called = new QLineEdit(name, &dialog);
    auto* roles = new QHBoxLayout;
    auto* op = new QCheckBox(QStringLiteral("检定员"), &dialog);
    auto* check = new QCheckBox(QStringLiteral("核验员"), &dialog);
    auto* approve = new QCheckBox(QStringLiteral("批准人"), &dialog);
    for (QCheckBox* c : {op, check, approve}) roles->addWidget(c);
    form->addRow(QStringLiteral("姓名："), called);
    form->addRow(QStringLiteral("角色："), roles);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    name = called->text().trimmed();
    operator_role = op->isChecked();
    checker = check->isChecked();
    approver = approve->isChecked();
    return true;
}

bool save_record_file(WindowPrompts& prompts, const QString& base, const std::string& number, bool csv,
                      const std::function<bool(const QString& path, QString& error)>& save) {
    const QString name = base + (number.empty() ? QString() : "_" + q(number)) + (csv ? ".csv" : ".pdf");
    return save_file(prompts, csv ? QStringLiteral("保存为 CSV") : QStringLiteral("导出 PDF"),
                     csv ? QStringLiteral("CSV 文件 (*.csv)") : QStringLiteral("PDF 文件 (*.pdf)"), name, save);
}

bool save_file(WindowPrompts& prompts, const QString& title, const QString& filter, const QString& name,
               const std::function<bool(const QString& path, QString& error)>& save) {
    const std::optional<QString> path = prompts.save_path(title, filter, name);
    if (!path) return false;
    QString error;
    if (save(*path, error)) return true;
    prompts.error(QStringLiteral("无法保存文件“%1”：%2").arg(*path, error));
    return false;
}

}  // namespace its90::ui

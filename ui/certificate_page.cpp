#include "ui/certificate_page.h"

#include <QColor>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <cstring>
#include <string>

#include "form/book_records.h"
#include "form/dcc.h"
#include "ui/page.h"
#include "ui/book_access.h"
#include "ui/fonts.h"
#include "ui/record_page.h"

namespace its90::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::vector<QString>> cells_of(const form::Rows& rows) {
    std::vector<std::vector<QString>> out;
    for (const auto& row : rows) {
        auto& cells = out.emplace_back();
        for (const auto& cell : row) cells.push_back(q(cell));
    }
    return out;
}

// Across the page, under what is drawn on it.
void not_approved(Page& page) {
    QPainter& painter = page.painter();
    painter.save();
    painter.translate(page.px(page.width() / 2), page.px(page.height() / 2));
    painter.rotate(-35);
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(96);
    f.setBold(true);
    painter.setFont(f);
    painter.setPen(QColor(200, 40, 40, 70));
    const QRectF box(-page.px(150), -page.px(30), page.px(300), page.px(60));
    painter.drawText(box, Qt::AlignCenter, QString::fromUtf8(form::kNotApproved));
    painter.restore();
}

constexpr double kRow = 6;

}  // namespace

void draw_certificate(QPagedPaintDevice& device, const form::Certificate& c) {
    const QString number = c.number ? q(*c.number) : QStringLiteral("（批准后编号）");
    draw_paged(device, QStringLiteral("证书编号 %1　记录号 %2").arg(number).arg(c.record), [&](Page& page) {
        const double w = page.width();
        double y = 0;
        const auto begin_page = [&] {
            if (!c.approved) not_approved(page);
        };
        const auto room_for = [&](double needed) {
            if (y + needed <= page.height()) return;
            page.new_page();
            y = 0;
            begin_page();
        };
        begin_page();
        page.font(13, true);
        page.text(0, y, w, 7, c.laboratory.empty() ? QStringLiteral("（实验室名称未设置）") : q(c.laboratory),
                  Qt::AlignHCenter | Qt::AlignVCenter);
        y += 7;
        page.font(9);
        QString line = q(c.address);
        if (!c.accreditation.empty()) line += (line.isEmpty() ? QString() : QStringLiteral("　")) + QStringLiteral("认可编号 ") + q(c.accreditation);
        page.text(0, y, w, 5, line, Qt::AlignHCenter | Qt::AlignVCenter);
        y += 8;
        page.font(20, true);
        page.text(0, y, w, 11, q(c.title_zh), Qt::AlignHCenter | Qt::AlignVCenter);
        y += 11;
        page.font(9);
        page.text(0, y, w, 5, q(c.title_en), Qt::AlignHCenter | Qt::AlignVCenter);
        y += 7;
        page.font(10.5, true);
        page.text(0, y, w, 6, QStringLiteral("证书编号：") + number, Qt::AlignRight | Qt::AlignVCenter);
        y += 8;

        // Two particulars a row, label and value each.
        const form::Rows particulars = form::certificate_particulars(c);
        form::Rows pairs;
        for (std::size_t i = 0; i < particulars.size(); i += 2) {
            std::vector<std::string>& row = pairs.emplace_back(particulars[i]);
            if (i + 1 < particulars.size()) row.insert(row.end(), particulars[i + 1].begin(), particulars[i + 1].end());
            else row.insert(row.end(), {"", ""});
        }
        y = page.table(0, y, {24, w / 2 - 24, 24, w / 2 - 24}, cells_of(pairs), kRow, false) + 5;

        for (const form::CertificateTable& t : c.results) {
            if (t.rows.size() < 2) continue;
            room_for(7 + 2 * kRow);
            page.font(10.5, true);
            page.text(0, y, w, 6, q(t.title_zh));
            y += 7;
            const std::vector<double> widths = equal_widths(w, t.rows.front().size(), w / static_cast<double>(t.rows.front().size()));
            // A table longer than the page goes on over the next, its headings again on top.
            std::size_t next = 1;
            while (next < t.rows.size()) {
                const std::size_t fit = std::max<std::size_t>(1, static_cast<std::size_t>((page.height() - y) / kRow) - 1);
                const std::size_t end = std::min(t.rows.size(), next + fit);
                form::Rows chunk = {t.rows.front()};
                chunk.insert(chunk.end(), t.rows.begin() + static_cast<std::ptrdiff_t>(next), t.rows.begin() + static_cast<std::ptrdiff_t>(end));
                y = page.table(0, y, widths, cells_of(chunk), kRow) + 4;
                next = end;
                if (next < t.rows.size()) room_for(page.height());
            }
        }
        room_for(4 * kRow);
        page.font(9);
        const double note = page.table(0, y, {24, w - 24},
                                       cells_of({{"不确定度", c.uncertainty_note}, {"结论", c.conclusion}}), kRow, false);
        y = note + 8;
        room_for(22);
        const double column = w / 3;
        for (std::size_t i = 0; i < c.signatures.size(); ++i) {
            const form::CertificateSignature& s = c.signatures[i];
            const double x = column * static_cast<double>(i);
            page.font(10, true);
            page.text(x, y, column, 6, QString::fromUtf8(s.role_zh) + QStringLiteral("："));
            page.font(10);
            page.text(x + 16, y, column - 18, 6, s.name.empty() ? QStringLiteral("—") : q(s.name));
            page.line(x + 16, y + 6, x + column - 4, y + 6);
            page.font(8.5);
            page.text(x, y + 7, column - 4, 5, s.date.empty() ? QStringLiteral("日期：") : QStringLiteral("日期：") + q(s.date));
        }
        y += 16;
        page.font(8);
        page.text(0, y, w, 5, QStringLiteral("本证书由 ITS-90 计算器 %1 自记录 %2 出具；未经实验室书面批准，不得部分复制。").arg(q(c.program_version)).arg(c.record));
    });
}

bool save_certificate_pdf(const QString& path, const form::Certificate& c, QString& error) {
    const std::string title = c.title_zh + " " + (c.number ? *c.number : "记录 " + std::to_string(c.record));
    return save_document(path, title.c_str(), [&c](QPagedPaintDevice& d) { draw_certificate(d, c); }, error);
}

bool save_dcc(const QString& path, const form::Certificate& c, QString& error) {
    const form::DccDocument dcc = form::dcc_of(c);
    if (!dcc.ok()) {
        error = q(dcc.problem);
        return false;
    }
    return save_text(path, dcc.xml, error);
}

namespace {

int said(const QString& words, int status) {
    std::fputs((words + QStringLiteral("\n")).toUtf8().constData(), stderr);
    return status;
}

}  // namespace

std::optional<int> export_without_window(int argc, char** argv) {
    enum class What { Pdf, Dcc };
    std::optional<What> what;
    std::string id_text, path;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if ((a == "--certificate" || a == "--dcc") && more) {
            what = a == "--certificate" ? What::Pdf : What::Dcc;
            id_text = argv[++i];
        } else if ((a == "--pdf" || a == "--output") && more) {
            path = argv[++i];
        }
    }
    if (!what) return std::nullopt;
    if (path.empty()) return said(QStringLiteral("没有给出要写的文件"), 2);
    // Fonts and a PDF writer need an application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only this export's own words reach the terminal, not the toolkit's notes.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fputs((message + QStringLiteral("\n")).toUtf8().constData(), stderr);
    });
    int no_args = 1;
    QGuiApplication app(no_args, argv);
    QGuiApplication::setApplicationName("its90-calculator");
    install_font_substitutions();
    char* end = nullptr;
    const long long id = std::strtoll(id_text.c_str(), &end, 10);
    if (id_text.empty() || *end != '\0' || id <= 0) return said(QStringLiteral("记录号“%1”不是正整数").arg(q(id_text)), 2);
    try {
        const std::unique_ptr<book::Book> opened = book::Book::to_read(book_file().toStdString());
        const book::Book& book = *opened;
        const std::optional<book::Record> record = book.find(id);
        if (!record) return said(QStringLiteral("记录簿中没有记录 %1").arg(id), 2);
        const std::optional<form::Certificate> c = form::certificate_of(book, *record);
        if (!c) return said(QStringLiteral("记录 %1 缺少输入，无法出具其证书").arg(id), 2);
        QString error;
        if (*what == What::Dcc && path == "-") {
            const form::DccDocument dcc = form::dcc_of(*c);
            if (!dcc.ok()) return said(q(dcc.problem), 1);
            std::fwrite(dcc.xml.data(), 1, dcc.xml.size(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        const bool saved = *what == What::Pdf ? save_certificate_pdf(q(path), *c, error) : save_dcc(q(path), *c, error);
        if (!saved) return said(QStringLiteral("无法写出“%1”：%2").arg(q(path), error), 1);
        return 0;
    } catch (const book::Failure& f) {
        return said(q(form::book_problem_text(f.problem())), 1);
    }
}

}  // namespace its90::ui

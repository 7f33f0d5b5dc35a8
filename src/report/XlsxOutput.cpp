#include "report/XlsxOutput.h"

#include "io/CheckedFile.h"
#include "report/BandedReport.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <charconv>
#include <cmath>

namespace XlsxOutput {

namespace {

// A spreadsheet shows -0 as "-0" in General format: a zero is written as zero.
double plusZero(double v)
{
    return v == 0 ? 0.0 : v;
}

// Two columns under the same headings in every row above `row`: a heading may span them without
// crossing a group.
bool sameGroups(const XlsxOutput::Column &a, const XlsxOutput::Column &b, int row)
{
    for (int h = 0; h < row; ++h)
        if (a.headings.value(h) != b.headings.value(h))
            return false;
    return true;
}

// Excel's paper 12: B4 (JIS), 257 x 364 mm.
constexpr uint8_t kB4 = 12;
constexpr const char *kFont = "ＭＳ Ｐゴシック";
// The cells' size: readable on the screen; the columns widen with it in the report's
// proportions, so that the sheet printed one page wide comes out at the report's own size.
constexpr double kCellPoints = 9;
constexpr double kLinePoints = 12;

double inches(double twips)
{
    return twips / BandedReport::kTwipsPerInch;
}

// A column's width in Excel's units (characters of the default font, about 7 pixels at 96 dpi).
double widthOf(double twips)
{
    return std::max(4.0, twips / 15.0 / 7.0);
}

class Book
{
public:
    explicit Book(const QByteArray &path, const QByteArray &tmp)
    {
        lxw_workbook_options options{};
        options.tmpdir = const_cast<char *>(tmp.constData());
        m_book = workbook_new_opt(path.constData(), &options);
    }
    ~Book()
    {
        if (m_book)
            workbook_close(m_book); // only after a failure: freed without a file wanted
    }
    lxw_workbook *get() const { return m_book; }
    lxw_error close()
    {
        const lxw_error e = workbook_close(m_book);
        m_book = nullptr;
        return e;
    }

private:
    lxw_workbook *m_book = nullptr;
};

// The workbook built aside closed, every step's error said, and put at `path` by the checked write.
bool finish(Book &book, lxw_error e, const QString &built, const QString &path, QString *error)
{
    const lxw_error closed = book.close();
    if (e == LXW_NO_ERROR)
        e = closed;
    if (e != LXW_NO_ERROR) {
        *error = QStringLiteral("Excelのファイルを作成できません（%1）。").arg(QString::fromUtf8(lxw_strerror(e)));
        return false;
    }
    QFile file(built);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Excelのファイルを作成できません。");
        return false;
    }
    return CheckedFile::write(path, file.readAll(), error);
}

QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

} // namespace

Sheet sheetOf(const QString &name, const QString &title, const QList<QSqlRecord> &rows)
{
    Sheet sheet;
    sheet.name = name;
    sheet.title = title;
    const QSqlRecord first = rows.value(0);
    sheet.subject1 = first.value(QStringLiteral("タイトル１")).toString();
    sheet.subject2 = first.value(QStringLiteral("タイトル２")).toString();
    sheet.date = first.value(QStringLiteral("日付")).toString();
    sheet.rows = rows;
    return sheet;
}

QVariant cellValue(const Column &column, const QVariant &value, const QString &shown)
{
    if (shown.isEmpty())
        return {};
    if (column.format.isEmpty()) {
        // A number the report prints as it stands (a lamp's flux, a row's number) stays a number.
        if (const int type = value.typeId(); type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double)
            return value.toDouble();
        // Trailing spaces print as nothing; in a cell they would only trip the client's formulas.
        qsizetype n = shown.size();
        while (n > 0 && shown[n - 1].isSpace())
            --n;
        return n > 0 ? QVariant(shown.left(n)) : QVariant();
    }
    if (value.isNull() || !value.isValid())
        return 0.0; // shown by the report's detail format ("0.00" for an empty height)
    if (value.typeId() == QMetaType::QString) {
        const auto v = NumberText::strict(value.toString());
        return v ? QVariant(*v) : QVariant(value.toString());
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        return value.toString();
    // A value stored as a single-precision number is the decimal it was written as.
    const auto f = static_cast<float>(d);
    if (double(f) == d && std::isfinite(f)) {
        char buffer[32];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, f);
        double back = d;
        std::from_chars(buffer, r.ptr, back);
        return back;
    }
    return d;
}

bool write(const Sheet &sheet, const QString &path, QString *error)
{
    if (!CheckedFile::checkTarget(path, error))
        return false;
    QTemporaryDir work;
    if (!work.isValid()) {
        *error = QStringLiteral("一時フォルダを作成できません。");
        return false;
    }
    const QString built = work.filePath(QStringLiteral("book.xlsx"));
    {
        Book book(QFile::encodeName(built), QFile::encodeName(work.path()));
        if (!book.get()) {
            *error = QStringLiteral("Excelのファイルを作成できません。");
            return false;
        }
        lxw_workbook *wb = book.get();
        // Every format in the Japanese gothic the reports' readers expect (Excel's own default
        // would set the digits in a Latin face beside the kana).
        const auto add = [wb] {
            lxw_format *f = workbook_add_format(wb);
            format_set_font_name(f, kFont);
            format_set_font_size(f, kCellPoints);
            return f;
        };
        const QByteArray name = utf8(sheet.name.left(31));
        lxw_worksheet *ws = workbook_add_worksheet(wb, name.constData());
        lxw_format *title = add();
        format_set_bold(title);
        format_set_font_size(title, 14);
        format_set_align(title, LXW_ALIGN_CENTER);
        lxw_format *label = add();
        format_set_bold(label);
        lxw_format *right = add();
        format_set_align(right, LXW_ALIGN_RIGHT);
        lxw_format *heading = add();
        format_set_bold(heading);
        format_set_align(heading, LXW_ALIGN_CENTER);
        format_set_align(heading, LXW_ALIGN_VERTICAL_CENTER);
        format_set_text_wrap(heading);
        format_set_border(heading, LXW_BORDER_THIN);
        format_set_bg_color(heading, 0xEEEEEE);
        lxw_format *plain = add();
        lxw_format *text = add();
        format_set_border(text, LXW_BORDER_THIN);
        QList<lxw_format *> numbers;
        for (const Column &c : sheet.columns) {
            lxw_format *f = add();
            format_set_border(f, LXW_BORDER_THIN);
            if (!c.format.isEmpty()) {
                format_set_num_format(f, utf8(c.format).constData()); // copied by the library
            }
            numbers.append(f);
        }
        const auto columns = lxw_col_t(sheet.columns.size());
        lxw_error e = LXW_NO_ERROR;
        const auto check = [&e](lxw_error r) {
            if (e == LXW_NO_ERROR)
                e = r;
        };
        const auto writeText = [&](lxw_row_t r, lxw_col_t c, const QString &s, lxw_format *f) {
            check(worksheet_write_string(ws, r, c, utf8(s).constData(), f)); // copied into its strings
        };
        // Title, 件名 and 日付.
        const QByteArray titleText = utf8(sheet.title);
        check(worksheet_merge_range(ws, 0, 0, 0, columns - 1, titleText.constData(), title));
        writeText(1, 0, QStringLiteral("件名"), label);
        writeText(1, 1, sheet.subject1, plain);
        writeText(2, 1, sheet.subject2, plain);
        writeText(1, columns - 1, sheet.date, right);
        // The headings, equal neighbouring texts of a row as one cell.
        const lxw_row_t headTop = 4;
        int headRows = 0;
        for (const Column &c : sheet.columns)
            headRows = std::max(headRows, int(c.headings.size()));
        for (int h = 0; h < headRows; ++h) {
            const lxw_row_t row = headTop + lxw_row_t(h);
            // A row tall enough for its headings of several lines: a spreadsheet keeps the
            // height it is given.
            qsizetype lines = 1;
            for (const Column &c : sheet.columns)
                lines = std::max(lines, c.headings.value(h).count(u'\n') + 1);
            if (lines > 1)
                check(worksheet_set_row(ws, row, double(lines) * kLinePoints + 2, nullptr));
            for (int c = 0; c < sheet.columns.size();) {
                const QString t = sheet.columns[c].headings.value(h);
                int last = c;
                while (!t.isEmpty() && last + 1 < sheet.columns.size() && sheet.columns[last + 1].headings.value(h) == t
                       && sameGroups(sheet.columns[c], sheet.columns[last + 1], h))
                    ++last;
                if (last > c) {
                    check(worksheet_merge_range(ws, row, lxw_col_t(c), row, lxw_col_t(last), utf8(t).constData(), heading));
                } else {
                    writeText(row, lxw_col_t(c), t, heading);
                }
                c = last + 1;
            }
        }
        const lxw_row_t first = headTop + lxw_row_t(headRows);
        check(worksheet_repeat_rows(ws, headTop, first - 1));
        worksheet_freeze_panes(ws, first, 0);
        // One row a line of the table.
        BandedReport::Field field;
        for (int i = 0; i < sheet.rows.size(); ++i) {
            const QSqlRecord &record = sheet.rows[i];
            QHash<QString, QString> shown;
            for (const Column &c : sheet.columns) {
                field.name = c.field;
                field.format = c.format;
                shown.insert(c.field, BandedReport::shownValue(record.value(c.field), field));
            }
            if (sheet.formatDetail)
                sheet.formatDetail(record, shown);
            const lxw_row_t row = first + lxw_row_t(i);
            for (int c = 0; c < sheet.columns.size(); ++c) {
                const Column &col = sheet.columns[c];
                const QVariant v = cellValue(col, record.value(col.field), shown.value(col.field));
                if (!v.isValid())
                    check(worksheet_write_blank(ws, row, lxw_col_t(c), numbers[c]));
                else if (v.typeId() == QMetaType::Double)
                    check(worksheet_write_number(ws, row, lxw_col_t(c), plusZero(v.toDouble()), numbers[c]));
                else
                    writeText(row, lxw_col_t(c), v.toString(), col.format.isEmpty() ? numbers[c] : text);
            }
        }
        // The footer's lines below the table.
        lxw_row_t row = first + lxw_row_t(sheet.rows.size()) + 1;
        for (const FooterLine &line : sheet.footer) {
            writeText(row, 0, line.caption, label);
            if (line.value.typeId() == QMetaType::Double) {
                lxw_format *f = plain;
                if (!line.format.isEmpty()) {
                    f = add();
                    format_set_num_format(f, utf8(line.format).constData());
                }
                check(worksheet_write_number(ws, row, 3, plusZero(line.value.toDouble()), f));
            } else if (line.value.isValid()) {
                writeText(row, 3, line.value.toString(), plain);
            }
            ++row;
        }
        for (int c = 0; c < sheet.columns.size(); ++c)
            check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c),
                                       widthOf(sheet.columns[c].widthTwips * kCellPoints / sheet.points), nullptr));
        worksheet_set_default_row(ws, kLinePoints + 1, LXW_FALSE);
        worksheet_set_paper(ws, kB4);
        worksheet_set_landscape(ws);
        worksheet_set_margins(ws, inches(sheet.marginsTwips.left()), inches(sheet.marginsTwips.right()),
                              inches(sheet.marginsTwips.top()), inches(sheet.marginsTwips.bottom()));
        worksheet_fit_to_pages(ws, 1, 0);
        return finish(book, e, built, path, error);
    }
}

bool writeTables(const QList<Table> &tables, const QString &path, QString *error)
{
    if (!CheckedFile::checkTarget(path, error))
        return false;
    QTemporaryDir work;
    if (!work.isValid()) {
        *error = QStringLiteral("一時フォルダを作成できません。");
        return false;
    }
    const QString built = work.filePath(QStringLiteral("book.xlsx"));
    {
        Book book(QFile::encodeName(built), QFile::encodeName(work.path()));
        if (!book.get()) {
            *error = QStringLiteral("Excelのファイルを作成できません。");
            return false;
        }
        lxw_error e = LXW_NO_ERROR;
        const auto check = [&e](lxw_error r) {
            if (e == LXW_NO_ERROR)
                e = r;
        };
        for (const Table &t : tables) {
            const QByteArray name = utf8(t.name.left(31));
            lxw_worksheet *ws = workbook_add_worksheet(book.get(), name.constData());
            if (!ws) {
                *error = QStringLiteral("Excelのファイルを作成できません（シート「%1」）。").arg(t.name);
                return false;
            }
            for (int r = 0; r < t.rows.size(); ++r) {
                for (int c = 0; c < t.rows[r].size(); ++c) {
                    const QString &text = t.rows[r][c];
                    if (text.isEmpty())
                        continue;
                    const auto number = NumberText::strict(text);
                    if (r + 1 >= t.firstNumberRow && t.numberColumns.contains(c + 1) && number && std::isfinite(*number))
                        check(worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), plusZero(*number), nullptr));
                    else
                        check(worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), utf8(text).constData(), nullptr));
                }
            }
        }
        return finish(book, e, built, path, error);
    }
}

} // namespace XlsxOutput

#include "ground/jobfile.h"

#include "ground/numbers.h"
#include "ground/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

int jobFileItemIndex(const JobField &field)
{
    for (int i = 0; i < kJobFileItemCount; ++i) {
        if (kJobFileItems[i].field == field)
            return i;
    }
    Q_UNREACHABLE();
    return 0;
}

QString jobFieldText(const Job &job, const JobField &field)
{
    using K = JobField::Kind;
    switch (field.kind) {
    case K::CommonHeader:
        return QStringLiteral("[COMMON]");
    case K::Common:
        return job.common(field.index);
    case K::Material:
        return job.material().text();
    case K::Thickness:
        return job.thickness().text();
    case K::VeeAll:
        return job.veeAll().text();
    case K::SectionHeader:
        return QStringLiteral("[SECITION %1]").arg(field.section);
    case K::View:
        return job.section(field.section).view();
    case K::Rotate:
        return job.section(field.section).rotate().text();
    case K::Scale:
        return QString::number(job.section(field.section).scale());
    case K::Notes:
        return job.section(field.section).notes();
    case K::Outside:
        return job.section(field.section).outside(field.index);
    case K::Angle:
        return job.section(field.section).angle(field.index);
    case K::Vee:
        return job.section(field.section).vee(field.index).text();
    }
    return {};
}

namespace {

const QString kBlankWidthHeader = QStringLiteral("[BLANK WIDTH]");

} // namespace

JobFileContent::JobFileContent()
{
    static const Job untouched;
    for (int i = 0; i < kJobFileItemCount; ++i)
        items[i] = jobFieldText(untouched, kJobFileItems[i].field);
}

JobFileContent jobFileContent(const Job &job)
{
    JobFileContent content;
    for (int i = 0; i < kJobFileItemCount; ++i)
        content.items[i] = jobFieldText(job, kJobFileItems[i].field);
    for (int n = 1; n <= kSectionCount; ++n)
        content.widths[n - 1] = job.section(n).width();
    return content;
}

namespace {

class LineWriter
{
public:
    // A text item: between double quotes, as it stands. A quote inside would end the item early
    // when the file is read, so none is ever written.
    LineWriter &text(const QString &value)
    {
        separate();
        m_out += u'"';
        m_out += withoutQuotes(value);
        m_out += u'"';
        return *this;
    }
    LineWriter &integer(int value)
    {
        separate();
        m_out += QString::number(value);
        return *this;
    }
    void endLine()
    {
        m_out += QStringLiteral("\r\n");
        m_lineStarted = false;
    }
    const QString &result() const { return m_out; }

private:
    void separate()
    {
        if (m_lineStarted)
            m_out += u',';
        m_lineStarted = true;
    }

    QString m_out;
    bool m_lineStarted = false;
};

// Reads the items of a job file one by one, ignoring where lines end: skip blanks; a quoted item
// runs to the next double quote, line breaks included, and reading moves past the comma or line
// end after it; any other item runs to the next comma or line end, less trailing blanks.
class ItemReader
{
public:
    explicit ItemReader(QStringView text) : m_text(text) {}

    // False when the file ends before the item begins, or inside its quotes.
    bool next(QString &item)
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size())
            return false;
        if (m_text[m_pos] == u'"') {
            const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
            if (close < 0)
                return false;
            item = m_text.mid(m_pos + 1, close - m_pos - 1).toString();
            m_pos = close + 1;
            skipToSeparator();
        } else {
            const qsizetype start = m_pos;
            skipToSeparator();
            qsizetype end = m_pos;
            while (end > start && isBlank(m_text[end - 1]))
                --end;
            item = m_text.mid(start, end - start).toString();
        }
        passSeparator();
        return true;
    }

private:
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

    void skipToSeparator()
    {
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    }

    // Moves past the comma or line end that ends an item. The end of the file ends an item too:
    // the last line of a file saved by another editor may have no line end, or a lone CR. A file
    // cut short shows as an item that cannot be read: one ending inside its quotes, or one that
    // never begins.
    void passSeparator()
    {
        if (m_pos >= m_text.size())
            return;
        if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
            ++m_pos;
        ++m_pos; // ',', '\r' or '\n'
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

// The place of item number index (0-based) in words an operator can find in the file.
QString itemPlace(int index)
{
    const int section = kJobFileItems[index].field.section;
    if (section == 0)
        return QStringLiteral("in the common details");
    return QStringLiteral("in section %1").arg(section);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The 1:1 Scale as it is held, 0 or 1, or nothing for any other item.
std::optional<int> readScale(const QString &item)
{
    bool ok = false;
    const int value = item.trimmed().toInt(&ok);
    if (!ok || (value != 0 && value != 1))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray formatJobFile(const JobFileContent &content)
{
    LineWriter w;
    static const Job untouched;
    for (int i = 0; i < kJobFileItemCount; ++i) {
        const JobFileItem &item = kJobFileItems[i];
        switch (item.field.kind) {
        case JobField::Kind::CommonHeader:
        case JobField::Kind::SectionHeader:
            w.text(jobFieldText(untouched, item.field));
            break;
        case JobField::Kind::Scale:
            w.integer(readScale(content.items[i]).value_or(1));
            break;
        default:
            w.text(content.items[i]);
        }
        if (item.endsLine)
            w.endLine();
    }
    if (std::any_of(content.widths.begin(), content.widths.end(),
                    [](const QString &width) { return !width.isEmpty(); })) {
        w.text(kBlankWidthHeader).endLine();
        for (const QString &width : content.widths)
            w.text(width);
        w.endLine();
    }
    // The reader takes a file that is valid UTF-8 as UTF-8, and Windows-1252 bytes can happen to
    // be valid UTF-8: an e acute and two euro signs are E9 80 80 there, the UTF-8 of U+9000. A
    // job whose Windows-1252 bytes would read back as other texts is written in UTF-8.
    const QString &text = w.result();
    const QByteArray bytes = encodeFileText(text);
    return decodeFileText(bytes) == text ? bytes : text.toUtf8();
}

JobFileReadResult parseJobFile(const QByteArray &bytes)
{
    JobFileReadResult result;
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("it is not a Corvane job file (it holds binary data)");
        return result;
    }
    const QString text = decodeFileText(bytes);
    ItemReader reader(text);
    static const Job untouched;
    JobFileContent &c = result.content;
    for (int i = 0; i < kJobFileItemCount; ++i) {
        const JobField &field = kJobFileItems[i].field;
        QString item;
        if (!reader.next(item)) {
            result.error = QStringLiteral("the file ends too early: item %1 of %2 (%3) is missing")
                               .arg(i + 1)
                               .arg(kJobFileItemCount)
                               .arg(itemPlace(i));
            return result;
        }
        switch (field.kind) {
        case JobField::Kind::CommonHeader:
        case JobField::Kind::SectionHeader:
            // Not checked: a header holds nothing of the job.
            c.items[i] = jobFieldText(untouched, field);
            break;
        case JobField::Kind::Scale:
            if (const std::optional<int> scale = readScale(item)) {
                c.items[i] = QString::number(*scale);
                break;
            }
            result.error = QStringLiteral("the 1:1 Scale item of section %1 is \"%2\", not 0 or 1")
                               .arg(field.section)
                               .arg(item.left(40));
            return result;
        case JobField::Kind::Notes:
            c.items[i] = withCrLfLineBreaks(item);
            break;
        default:
            c.items[i] = item;
        }
    }
    // The block of blank widths, when the file has one; anything else after the items is passed
    // over, as every reader always did.
    QString item;
    if (reader.next(item) && item == kBlankWidthHeader) {
        for (int n = 0; n < kSectionCount; ++n) {
            if (!reader.next(c.widths[n])) {
                c.widths = {};
                result.widthsProblem =
                    QStringLiteral("The blank widths at the end of the file are cut short: "
                                   "%1 of %2 are there; the sections are opened without widths.")
                        .arg(n)
                        .arg(kSectionCount);
                break;
            }
        }
    }
    return result;
}

JobFileReadResult readJobFile(const QString &path)
{
    JobFileReadResult result;
    const auto fail = [&](const QString &reason) {
        result.error = QStringLiteral("Cannot open %1: %2.").arg(path, reason);
        return result;
    };
    // Non-blocking, so that a FIFO in the file's place cannot stall the program.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(systemError(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return fail(systemError(errno));
    if (!S_ISREG(status.st_mode))
        return fail(QStringLiteral("it is not a regular file"));
    if (status.st_size > kMaxJobFileBytes) {
        return fail(QStringLiteral("it is %1 MB, and a Corvane job file has at most %2 MB")
                        .arg(status.st_size / (1024 * 1024))
                        .arg(kMaxJobFileBytes / (1024 * 1024)));
    }
    // Never more than the limit, should the file grow while it is read.
    const QByteArray bytes = file.read(kMaxJobFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    if (bytes.size() > kMaxJobFileBytes)
        return fail(QStringLiteral("it grew beyond %1 MB while it was read")
                        .arg(kMaxJobFileBytes / (1024 * 1024)));
    result = parseJobFile(bytes);
    if (!result.ok())
        return fail(result.error);
    return result;
}

JobFileWriteResult writeJobFile(const JobFileContent &content, const QString &path)
{
    const QByteArray bytes = formatJobFile(content);
    QSaveFile file(path);
    JobFileWriteResult result;
    auto fail = [&](const QString &reason) {
        file.cancelWriting();
        result.error = QStringLiteral("Cannot save %1: %2").arg(path, reason);
        return result;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // A full disk shows as a short write or as a failed flush; either way the old file stays.
    if (file.write(bytes) != bytes.size())
        return fail(file.errorString());
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (!file.commit()) {
        result.error = QStringLiteral("Cannot save %1: %2").arg(path, file.errorString());
        return result;
    }
    return result;
}

QString proposedFileName(const Job &job)
{
    QStringList parts;
    for (int i = 0; i < kCommonTextCount; ++i)
        parts << job.common(i);
    return parts.join(u'-');
}

} // namespace corvane

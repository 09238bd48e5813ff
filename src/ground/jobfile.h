#pragma once

// The job file (".bm"): a fixed sequence of comma-separated items that operators keep on disk.
//
// After those items, and only when some section has a blank width, the file holds two more lines:
// the text item "[BLANK WIDTH]" and the five widths of sections 1 to 5 as text items. A reader
// that takes the fixed items and stops there, as every earlier one did, opens such a file all the
// same; a file without the block opens here with no widths.
//
// Nothing in the file names a field; items are taken strictly by position. Texts stand between
// double quotes without escaping (a text holding line breaks spans lines), the 1:1 Scale is a bare
// integer, and lines end with CR LF (the reader takes LF or CR as well, and a last line without
// a line end; a line break inside the notes is read as CR LF). An untouched job is 68 lines. The
// header items "[COMMON]" and "[SECITION n]" (spelled so in every file on disk) are written but
// never checked.
//
// The file is defined once, by kJobFileItems: every item in file order, the field of the job it
// holds and whether it ends its line. The writer, the reader, the count of items and the order in
// which the editing logic applies an opened file (choosing pick-list items by text with the
// cascade each choice sets off) all follow that table.

#include "ground/job.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace corvane {

// A field of the job, as one item of the file holds it.
struct JobField
{
    enum class Kind
    {
        CommonHeader, // "[COMMON]"
        Common,       // common text index: Customer, Part No, Revision, Description
        Material,     // the texts of the chosen items
        Thickness,
        VeeAll,
        SectionHeader, // "[SECITION n]"
        View,
        Rotate,
        Scale, // 1:1 Scale, 0 or 1, the one integer item
        Notes,
        Outside, // flange index, 0 to 10
        Angle,   // bend index, 0 to 9
        Vee      // bend index, 0 to 9
    };
    Kind kind = Kind::CommonHeader;
    int section = 0; // 1 to 5 for the fields of a section
    int index = 0;

    static constexpr JobField common(int i) { return {Kind::Common, 0, i}; }
    static constexpr JobField material() { return {Kind::Material, 0, 0}; }
    static constexpr JobField thickness() { return {Kind::Thickness, 0, 0}; }
    static constexpr JobField veeAll() { return {Kind::VeeAll, 0, 0}; }
    static constexpr JobField view(int n) { return {Kind::View, n, 0}; }
    static constexpr JobField rotate(int n) { return {Kind::Rotate, n, 0}; }
    static constexpr JobField scale(int n) { return {Kind::Scale, n, 0}; }
    static constexpr JobField notes(int n) { return {Kind::Notes, n, 0}; }
    static constexpr JobField outside(int n, int k) { return {Kind::Outside, n, k}; }
    static constexpr JobField angle(int n, int k) { return {Kind::Angle, n, k}; }
    static constexpr JobField vee(int n, int k) { return {Kind::Vee, n, k}; }

    constexpr bool operator==(const JobField &other) const
    {
        return kind == other.kind && section == other.section && index == other.index;
    }
};

struct JobFileItem
{
    JobField field;
    bool endsLine = false;
};

namespace jobfile {

// Calls item(field, endsLine) for every item of the file, in file order.
template<typename Item> constexpr void eachItem(Item &&item)
{
    using F = JobField;
    item(F{F::Kind::CommonHeader, 0, 0}, true);
    for (int i = 0; i < kCommonTextCount; ++i)
        item(F::common(i), i == kCommonTextCount - 1);
    item(F::material(), false);
    item(F::thickness(), false);
    item(F::veeAll(), true);
    for (int n = 1; n <= kSectionCount; ++n) {
        item(F{F::Kind::SectionHeader, n, 0}, true);
        item(F::view(n), false);
        item(F::rotate(n), false);
        item(F::scale(n), false);
        item(F::notes(n), true);
        for (int k = 0; k < kBendCount; ++k) {
            item(F::outside(n, k), false);
            item(F::angle(n, k), false);
            item(F::vee(n, k), true);
        }
        item(F::outside(n, kBendCount), true);
    }
}

constexpr int itemCount()
{
    int count = 0;
    eachItem([&count](JobField, bool) { ++count; });
    return count;
}

} // namespace jobfile

// The items of every job file, 188 in all, in file order.
inline constexpr int kJobFileItemCount = jobfile::itemCount();
inline constexpr std::array<JobFileItem, kJobFileItemCount> kJobFileItems = [] {
    std::array<JobFileItem, kJobFileItemCount> items{};
    int next = 0;
    jobfile::eachItem([&](JobField field, bool endsLine) { items[next++] = {field, endsLine}; });
    return items;
}();

// Where a field stands in the file, 0 to 187.
int jobFileItemIndex(const JobField &field);

// Everything a job file holds: the text of every item, in file order. A new content is that of
// an untouched job: empty texts, the headers, and 1 for every 1:1 Scale.
struct JobFileContent
{
    JobFileContent();

    std::array<QString, kJobFileItemCount> items;
    // The blank widths of sections 1 to 5, written after the items when any is not empty.
    std::array<QString, kSectionCount> widths;

    QString &operator[](const JobField &field) { return items[jobFileItemIndex(field)]; }
    const QString &operator[](const JobField &field) const
    {
        return items[jobFileItemIndex(field)];
    }
    bool operator==(const JobFileContent &other) const
    {
        return items == other.items && widths == other.widths;
    }
    bool operator!=(const JobFileContent &other) const { return !(*this == other); }
};

// The text that a field of the job saves: a free text as held, a pick list as the text of its
// chosen item, the 1:1 Scale as 0 or 1, a header as it is always written.
QString jobFieldText(const Job &job, const JobField &field);

// The texts a job saves, item by item.
JobFileContent jobFileContent(const Job &job);

// The file's bytes: Windows-1252 when every character fits and the bytes cannot be taken for
// UTF-8 when read, UTF-8 otherwise.
QByteArray formatJobFile(const JobFileContent &content);

struct JobFileReadResult
{
    JobFileContent content;
    QString error; // empty when the file was read
    // The block of blank widths could not be read: the widths are left empty, the rest of the
    // job stands, and this says why.
    QString widthsProblem;
    bool ok() const { return error.isEmpty(); }
};

// Reads a job file's bytes. The error says what is wrong without naming a file.
JobFileReadResult parseJobFile(const QByteArray &bytes);
// The largest job file that is read: a job is a few kilobytes, and notes of a hundred thousand
// lines make a few megabytes. Anything larger is no job file of ours and is not read into memory.
inline constexpr qint64 kMaxJobFileBytes = 32 * 1024 * 1024;

// Reads a job file; the error names the file and what is wrong with it. Only a regular file is
// read, so that a FIFO or a device in its place cannot stall the program or fill its memory.
JobFileReadResult readJobFile(const QString &path);

struct JobFileWriteResult
{
    QString error; // empty when the file was written
    bool ok() const { return error.isEmpty(); }
};

// Writes the job to path, replacing any file there. The old file stays as it was until the new
// one is complete on disk; on any failure it is left untouched and the error names the file.
JobFileWriteResult writeJobFile(const JobFileContent &content, const QString &path);

// The name Save proposes: Customer-Part No-Revision-Description, no folder, no extension.
QString proposedFileName(const Job &job);

} // namespace corvane

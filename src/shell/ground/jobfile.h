#pragma once

// The job file (".bm"): a fixed sequence of comma-separated items that operators keep on disk.
//
// Nothing in the file names a field; items are taken strictly by position. Texts stand between
// double quotes without escaping (a text holding line breaks spans lines), the 1:1 Scale is a bare
// integer, and lines end with CR LF (the reader takes LF or CR as well, and a last line without
// a line end; a line break inside the notes is read as CR LF). An untouched job is 68 lines. The
// header items "[COMMON]" and
// "[SECITION n]" (spelled so in every file on disk) are written but never checked.
//
// formatJobFile/writeJobFile turn a job's texts into the file; parseJobFile/readJobFile give the
// items back in file order as a JobFileContent, which the editing logic applies to a job one item
// at a time, choosing pick-list items by text with the cascade that each choice sets off.

#include "shell/ground/job.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace corvane {

struct JobFileSection
{
    QString view;
    QString rotate;
    int scale = 1;
    QString notes;
    std::array<QString, kFlangeCount> outside;
    std::array<QString, kBendCount> angle;
    std::array<QString, kBendCount> vee;

    bool operator==(const JobFileSection &other) const;
};

// Everything a job file holds, in the order of the file.
struct JobFileContent
{
    std::array<QString, kCommonTextCount> common;
    QString material;
    QString thickness;
    QString veeAll;
    std::array<JobFileSection, kSectionCount> sections;

    bool operator==(const JobFileContent &other) const;
    bool operator!=(const JobFileContent &other) const { return !(*this == other); }
};

// The texts a job saves: free texts as held, pick lists as the text of their chosen item.
JobFileContent jobFileContent(const Job &job);

// The items of every job file, 188 in all.
inline constexpr int kJobFileItemCount = 8 + kSectionCount * (1 + 4 + 3 * kBendCount + 1);

// The file's bytes: Windows-1252 when every character fits and the bytes cannot be taken for
// UTF-8 when read, UTF-8 otherwise.
QByteArray formatJobFile(const JobFileContent &content);

struct JobFileReadResult
{
    JobFileContent content;
    QString error; // empty when the file was read
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

#pragma once

// The job: the one document Corvane edits at a time.
//
// A job is its common details (customer, part number, revision, description as free texts;
// material, thickness and a default vee chosen from lists that the bend table supplies) and
// exactly five sections. Every value is held as the text the operator typed or chose; it becomes
// a number only where it is used (ground/numbers.h). The job file (ground/jobfile.h)
// saves these texts unchanged, the editing logic fills the pick lists from the bend table, and the
// calculation and the report page read the texts.
//
// Free texts never hold an apostrophe or a double quote: the setters drop both, however a text
// arrives (typed, pasted or read from a file), because the job file cannot carry them. The notes
// hold each line break as CR LF, whichever form it arrived in.

#include "ground/picklist.h"

#include <QString>
#include <QStringList>

#include <array>

namespace corvane {

inline constexpr int kFlangeCount = 11; // flanges 0 to 10
inline constexpr int kBendCount = 10;   // bend k joins flange k to flange k + 1
inline constexpr int kSectionCount = 5; // sections are numbered 1 to 5
inline constexpr int kCommonTextCount = 4;

enum class CommonText
{
    Customer = 0,
    PartNo = 1,
    Revision = 2,
    Description = 3
};

// The rotations offered for a section's profile. The first is a zero followed by a blank, as the
// job files on disk store it.
QStringList rotateItems();

class Section
{
public:
    Section();

    const QString &view() const { return m_view; }
    void setView(const QString &text);
    PickList &rotate() { return m_rotate; }
    const PickList &rotate() const { return m_rotate; }
    // 1:1 Scale: 1 draws the profile to scale, 0 compresses it.
    int scale() const { return m_scale; }
    void setScale(int scale) { m_scale = scale ? 1 : 0; }
    const QString &notes() const { return m_notes; }
    void setNotes(const QString &text);
    // The width of the flat blank, in millimetres, as typed; empty when none is given.
    const QString &width() const { return m_width; }
    void setWidth(const QString &text);

    // Flange outside length i (0 to 10), in millimetres, as typed.
    const QString &outside(int i) const { return m_outside.at(i); }
    void setOutside(int i, const QString &text);
    // Bend angle i (0 to 9), in degrees, as typed.
    const QString &angle(int i) const { return m_angle.at(i); }
    void setAngle(int i, const QString &text);
    PickList &vee(int i) { return m_vee.at(i); }
    const PickList &vee(int i) const { return m_vee.at(i); }

    // Whether vee box i shows red: set by the last calculation that got past its gate, kept
    // until the next one does.
    bool veeRed(int i) const { return m_veeRed.at(i); }
    void setVeeRed(int i, bool red) { m_veeRed.at(i) = red; }

    // A section is in use when its first flange reads greater than 0.
    bool inUse() const;

    // What the operator is told of flange i's or angle i's text when it does not read as it shows
    // (numbers.h readingNote), with the field as the operator counts it: "flange 2: "1,5" is read
    // as 1"; empty when it reads as it shows.
    QString outsideNote(int i) const;
    QString angleNote(int i) const;
    QString widthNote() const;
    // Every such note of the section, row by row.
    QStringList readingNotes() const;

    // Whether other holds the same texts, choices and lists; the vee colours, which the next
    // calculation sets, do not count.
    bool sameContent(const Section &other) const;

private:
    QString m_view;
    PickList m_rotate;
    int m_scale = 1;
    QString m_notes;
    QString m_width;
    std::array<QString, kFlangeCount> m_outside;
    std::array<QString, kBendCount> m_angle;
    std::array<PickList, kBendCount> m_vee;
    std::array<bool, kBendCount> m_veeRed{};
};

class Job
{
public:
    Job() = default;

    const QString &common(CommonText which) const;
    void setCommon(CommonText which, const QString &text);
    const QString &common(int index) const { return m_common.at(index); }
    void setCommon(int index, const QString &text);

    PickList &material() { return m_material; }
    const PickList &material() const { return m_material; }
    PickList &thickness() { return m_thickness; }
    const PickList &thickness() const { return m_thickness; }
    PickList &veeAll() { return m_veeAll; }
    const PickList &veeAll() const { return m_veeAll; }

    // Sections by their number, 1 to 5.
    Section &section(int number) { return m_sections.at(number - 1); }
    const Section &section(int number) const { return m_sections.at(number - 1); }

    // The same for the whole job; the Changed flag does not count either.
    bool sameContent(const Job &other) const;

    // Set by every edit; cleared by New, Open and Save, and by undoing back to the job as last
    // saved or opened.
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

private:
    std::array<QString, kCommonTextCount> m_common;
    PickList m_material;
    PickList m_thickness;
    PickList m_veeAll;
    std::array<Section, kSectionCount> m_sections;
    bool m_changed = false;
};

} // namespace corvane

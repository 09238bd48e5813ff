#pragma once

// The benchmarks' eleven-flange section: eleven flanges of 60 to 160 mm and ten bends of 90 and
// -90 degrees on vee 4, in section 1 of a job of the given material and thickness.

#include "ground/job.h"

namespace corvane::bench {

inline Job elevenFlangeJob(const QString &material, const QString &thickness)
{
    Job job;
    job.material().setItems({material});
    job.material().choose(0);
    job.thickness().setItems({thickness});
    job.thickness().choose(0);
    Section &s = job.section(1);
    for (int i = 0; i < kFlangeCount; ++i)
        s.setOutside(i, QString::number(60 + 10 * i));
    for (int j = 0; j < kBendCount; ++j) {
        s.setAngle(j, j % 2 ? QStringLiteral("-90") : QStringLiteral("90"));
        s.vee(j).setItems({QStringLiteral("4")});
        s.vee(j).choose(0);
    }
    return job;
}

} // namespace corvane::bench

#pragma once

// An editing model over a small bend table in a temporary folder, for the tests of the editing
// logic and of the windows that bind to it.

#include "editing/jobeditor.h"
#include "testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace corvane::test {

class EditorTest : public ::testing::Test
{
protected:
    EditorTest() { editor.newJob(); }

    const Job &job() const { return editor.job(); }
    // The page written for section n, or nothing.
    QByteArray page(int n) const
    {
        return readBytes(dir.filePath(QString("temp/wb%1.htm").arg(n)));
    }

    // Material MS and thickness 2 chosen: every vee list holds 16, 93 and 10, 16 chosen.
    void chooseMildSteel2()
    {
        editor.chooseMaterial(job().material().items().indexOf("MS"));
        editor.chooseThickness(job().thickness().items().indexOf("2"));
    }

    // A new job whose section 1 is the worked example.
    void fillWorkedExample()
    {
        editor.newJob();
        test::fillWorkedExample(editor);
    }

    QTemporaryDir dir;
    // MS 2: vees 16 (the standard one), 93 and 10; MS 3: vee 20; AL 1: vee 6.
    const std::shared_ptr<const BendTable> shop =
        std::make_shared<const BendTable>(std::vector<BendRecord>{
            bendRecord("MS", 2, 16, 0.33, 2, "YES"), bendRecord("MS", 2, 93, 0.33, 2),
            bendRecord("MS", 2, 10, 0.33, 2), bendRecord("MS", 3, 20, 0.4, 3, "YES"),
            bendRecord("AL", 1, 6, 0.3, 1, "YES")});
    std::shared_ptr<const BendTable> table = shop;
    JobEditor editor{[this] { return table; },
                     PageOptions{LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")}};
};

} // namespace corvane::test

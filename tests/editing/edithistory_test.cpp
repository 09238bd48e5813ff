#include "editing/edithistory.h"

#include "editortest.h"
#include "ground/jobfile.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvane {
namespace {

using EditHistoryTest = test::EditorTest;
using K = EditedField::Kind;

// Each kind of edit, undone, gives back the job (texts, choices and every list) before it, in the
// section it was made in. Each is one step, named for the operator, made in its box. (Redo, and
// the page and its pictures coming back to the byte, are the window's test.)
TEST_F(EditHistoryTest, EveryKindOfEditIsOneStepUndoneInItsBox)
{
    struct Case
    {
        const char *what;
        EditedField field;
        std::function<void()> edit;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"typing in Part No", {K::Common, 0, 1}, [&] { editor.setCommonText(1, "P-7"); }},
        {"Material MS → AL", {K::Material}, [&] { editor.chooseMaterial(0); }},
        {"Thickness 2 → 3", {K::Thickness}, [&] { editor.chooseThickness(1); }},
        {"Vee All 16 → 10", {K::VeeAll}, [&] { editor.chooseVeeAll(2); }},
        {"typing in flange 2 of section 2", {K::Outside, 2, 1}, [&] { editor.setOutside(2, 1, "80"); }},
        {"typing in angle 1 of section 2", {K::Angle, 2, 0}, [&] { editor.setAngle(2, 0, "400"); }},
        {"vee 2 of section 2: 16 → 93", {K::Vee, 2, 1}, [&] { editor.chooseVee(2, 1, 1); }},
        {"typing in View of section 2", {K::View, 2}, [&] { editor.setView(2, "END"); }},
        {"Rotate of section 2: none → 90", {K::Rotate, 2}, [&] { editor.chooseRotate(2, 2); }},
        {"1:1 Scale of section 2 off", {K::Scale, 2}, [&] { editor.setScale(2, 0); }},
        {"typing in Notes of section 2", {K::Notes, 2}, [&] { editor.setNotes(2, "a\r\nb"); }},
        {"typing in Width of section 2", {K::Width, 2}, [&] { editor.setWidth(2, "120"); }},
    };
    // clang-format on
    EditedField restored;
    QObject::connect(&editor, &JobEditor::stepRestored,
                     [&restored](const EditedField &field) { restored = field; });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        editor.newJob();
        test::fillWorkedExample(editor, 2);
        editor.showSection(2);
        editor.endTyping();
        const Job before = job();
        c.edit();
        ASSERT_FALSE(before.sameContent(job()));
        ASSERT_NE(editor.undoStep(), nullptr);
        EXPECT_EQ(editor.undoStep()->what, c.what);

        editor.showSection(4);
        editor.undo();
        EXPECT_TRUE(job().sameContent(before));
        EXPECT_EQ(editor.activeSectionIndex(), 2);
        EXPECT_EQ(restored, c.field);
    }
}

// Typing in one box is one step until the caret leaves it or another box is edited; a paste is a
// step of its own, and an edit that changes nothing is none.
TEST_F(EditHistoryTest, ARunOfTypingInOneBoxIsOneStep)
{
    for (const char *text : {"1", "12", "125"})
        editor.setOutside(1, 0, text);
    editor.setOutside(1, 1, "4"); // another box
    editor.setOutside(1, 0, "1250");
    editor.endTyping(); // the caret left
    editor.setOutside(1, 0, "12500");
    editor.beginPaste();
    editor.setOutside(1, 0, "125007");
    editor.endPaste();
    editor.setOutside(1, 0, "1250078");
    editor.setScale(1, 1); // as it was
    const QStringList expected{"1250078", "125007", "12500", "1250", "125", "125", ""};
    for (int i = 1; i < expected.size(); ++i) {
        editor.undo();
        EXPECT_EQ(job().section(1).outside(0), expected[i]) << i;
    }
    EXPECT_EQ(editor.undoStep(), nullptr);

    // Typed back to where the run began: no step is left.
    editor.newJob();
    editor.setCommonText(0, "A");
    editor.setCommonText(0, "");
    EXPECT_EQ(editor.undoStep(), nullptr);
}

// Undoing back to the job as saved or opened clears the Changed flag and redoing sets it; once a
// new edit has replaced the steps after the saved state, no undo reaches it.
TEST_F(EditHistoryTest, UndoingBackToTheSavedJobClearsTheChangedFlag)
{
    chooseMildSteel2();
    editor.markSaved();
    editor.setOutside(1, 0, "50");
    editor.undo();
    EXPECT_FALSE(job().isChanged());
    editor.redo();
    EXPECT_TRUE(job().isChanged());
    editor.undo();
    editor.undo();
    EXPECT_TRUE(job().isChanged());
    editor.setAngle(1, 0, "90"); // the saved state is gone from the history
    editor.undo();
    EXPECT_TRUE(job().isChanged());

    // A recovered job has no saved state.
    editor.openContent(jobFileContent(job()));
    EXPECT_EQ(editor.undoStep(), nullptr);
    editor.markRecovered();
    editor.setView(1, "A");
    editor.undo();
    EXPECT_TRUE(job().isChanged());
}

// The oldest steps give way beyond the limit, and the saved state with them.
TEST(EditHistory, KeepsTheNewestStepsUpToItsLimit)
{
    EditHistory history(3);
    EditHistory::State state;
    history.start(state);
    for (int i = 1; i <= 5; ++i) {
        state.job.setCommon(0, QString::number(i));
        history.record({QString::number(i), {K::Common, 0, 0}, 1}, false, state);
    }
    for (const char *text : {"4", "3", "2"})
        EXPECT_EQ(history.undo().job.common(0), text);
    EXPECT_EQ(history.undoStep(), nullptr);
    EXPECT_FALSE(history.atSaved());
}

} // namespace
} // namespace corvane

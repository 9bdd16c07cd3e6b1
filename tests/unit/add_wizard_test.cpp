// The add wizard's step machine: the paths per type, what Back and Next keep
// in the pending record (also for steps the path later leaves out), and the
// checks of each step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/add_wizard_model.h"
#include "test_support.h"

namespace hs {
namespace {

struct Wizard {
    AddWizardModel model;
    const Document& pending = model.record();
    std::vector<NamedSlot> used{{0, "Daily News"}};

    std::string name(const std::string& typed) { return model.leaveName(typed, used, testFileSystem()); }
};

// The name check creates and removes the name in the current directory; the
// cases run as parallel processes, so each gets a directory of its own.
class AddWizard : public test::WorkingDirTest {};

TEST_F(AddWizard, PathsFollowTheTypeHeldAtEachStep) {
    EXPECT_EQ(fieldText(AddWizardModel().record().name), "");  // the wizard starts from zero bytes

    Wizard w;

    ASSERT_EQ(w.name("Page"), "");
    EXPECT_EQ(w.model.step(), WizardStep::Type);
    w.model.leaveType(WizardForward, HtmlPage);
    EXPECT_EQ(w.model.step(), WizardStep::Address);
    ASSERT_EQ(w.model.leaveAddress(WizardForward, "host/a"), "");
    EXPECT_EQ(w.model.step(), WizardStep::Account);
    EXPECT_STREQ(w.model.accountForwardCaption(), kWizardNextCaption);
    ASSERT_EQ(w.model.leaveAccount(WizardForward, false, "", ""), "");
    EXPECT_EQ(w.model.step(), WizardStep::Compare);
    ASSERT_EQ(w.model.leaveCompare(WizardForward, CompareChoice::Binary, "", "", ""), "");
    EXPECT_TRUE(w.model.finished());

    // Back from step 5 to step 2 and a web file: step 4 finishes, and the
    // comparison settings of step 5 stay in the record.
    Wizard v;
    ASSERT_EQ(v.name("File"), "");
    v.model.leaveType(WizardForward, HtmlPage);
    ASSERT_EQ(v.model.leaveAddress(WizardForward, "host/a"), "");
    ASSERT_EQ(v.model.leaveAccount(WizardForward, false, "", ""), "");
    ASSERT_EQ(v.model.leaveCompare(WizardBack, CompareChoice::Count, "new.gif", "", ""), "");
    EXPECT_EQ(v.model.step(), WizardStep::Account);
    ASSERT_EQ(v.model.leaveAccount(WizardBack, false, "", ""), "");
    ASSERT_EQ(v.model.leaveAddress(WizardBack, "host/a"), "");
    EXPECT_EQ(v.model.step(), WizardStep::Type);
    v.model.leaveType(WizardForward, WebFile);
    ASSERT_EQ(v.model.leaveAddress(WizardForward, "host/setup.exe"), "");
    EXPECT_STREQ(v.model.accountForwardCaption(), kWizardFinishCaption);
    ASSERT_EQ(v.model.leaveAccount(WizardForward, false, "", ""), "");
    EXPECT_TRUE(v.model.finished());
    EXPECT_EQ(v.pending.type, WebFile);
    EXPECT_EQ(v.pending.countMode, 1);
    EXPECT_EQ(fieldText(v.pending.countString), "new.gif");
}

TEST_F(AddWizard, BackKeepsWhatWasTypedAndNormalizes) {
    Wizard w;
    ASSERT_EQ(w.name("Doc"), "");
    w.model.leaveType(WizardForward, HtmlPage);
    // Back with an empty address field stores "http://", shown again later.
    ASSERT_EQ(w.model.leaveAddress(WizardBack, ""), "");
    EXPECT_EQ(w.model.location(), "http://");
    // A page address normalized, then the type changed to a local file: the
    // file step opens on the normalized address.
    w.model.leaveType(WizardForward, HtmlPage);
    ASSERT_EQ(w.model.leaveAddress(WizardBack, "HTTPS://host/x"), "");
    w.model.leaveType(WizardForward, LocalFile);
    EXPECT_EQ(w.model.step(), WizardStep::File);
    EXPECT_EQ(w.model.location(), "https://host/x");
    // An FTP location is stored as typed; the example follows the type.
    ASSERT_EQ(w.model.leaveFile(WizardBack, "srv/pub/f.gz"), "");
    w.model.leaveType(WizardForward, FtpFile);
    EXPECT_EQ(w.model.addressExample(), "e.g. ftp.example.org/pub/project.gz");
    ASSERT_EQ(w.model.leaveAddress(WizardForward, "srv/pub/f.gz"), "");
    EXPECT_EQ(w.model.location(), "srv/pub/f.gz");
    // The account is kept as typed when "Yes" is not checked.
    ASSERT_EQ(w.model.leaveAccount(WizardBack, false, "user", "secret"), "");
    EXPECT_EQ(w.pending.useAccount, 0);
    EXPECT_EQ(fieldText(w.pending.userName), "user");
    EXPECT_EQ(fieldText(w.pending.password), "secret");
    // Back to step 1 shows the name; Next tests it again.
    w.model.leaveType(WizardBack, FtpFile);
    EXPECT_EQ(w.model.step(), WizardStep::Name);
    EXPECT_EQ(w.model.name(), "Doc");
    EXPECT_EQ(w.name("daily news"), kNameTakenText);
}

TEST_F(AddWizard, ChecksOfEachStep) {
    Wizard w;
    EXPECT_EQ(w.name(""), kEnterNameText);
    // The name rule comes before the duplicate test.
    EXPECT_EQ(w.name("Daily News?"), kInvalidNameText);
    EXPECT_EQ(w.name("DAILY NEWS"), kNameTakenText);
    EXPECT_EQ(w.model.step(), WizardStep::Name);
    ASSERT_EQ(w.name("Other"), "");
    w.model.leaveType(WizardForward, HtmlPage);
    EXPECT_EQ(w.model.leaveAddress(WizardForward, ""), kEnterUrlText);
    // A location the record cannot hold whole is refused, never cut.
    EXPECT_EQ(w.model.leaveAddress(WizardForward, std::string(510, 'a')), kLocationTooLongText);
    ASSERT_EQ(w.model.leaveAddress(WizardForward, "host/a"), "");
    EXPECT_EQ(w.model.leaveAccount(WizardForward, true, "", "p"), kEnterUserNameText);
    EXPECT_EQ(w.model.leaveAccount(WizardForward, true, "u", ""), kEnterPasswordText);
    EXPECT_EQ(w.model.leaveAccount(WizardForward, true, std::string(128, 'u'), "p"), kUserNameTooLongText);
    ASSERT_EQ(w.model.leaveAccount(WizardForward, true, "u", "p"), "");
    // The fields are stored even when the check fails; Binary ignores them.
    EXPECT_EQ(w.model.leaveCompare(WizardForward, CompareChoice::Count, "", "a", ""), kEnterCountStringText);
    EXPECT_EQ(fieldText(w.pending.middleStart), "a");
    EXPECT_EQ(w.model.leaveCompare(WizardForward, CompareChoice::Middle, "", "a", ""), kEnterMarkerText);
    EXPECT_FALSE(w.model.finished());
    ASSERT_EQ(w.model.leaveCompare(WizardForward, CompareChoice::Binary, "new.gif", "", ""), "");
    EXPECT_EQ(w.pending.countMode, 0);
    EXPECT_EQ(fieldText(w.pending.countString), "new.gif");

    Wizard local;
    ASSERT_EQ(local.name("Log"), "");
    local.model.leaveType(WizardForward, LocalFile);
    EXPECT_EQ(local.model.leaveFile(WizardForward, ""), kEnterFilePathText);
    ASSERT_EQ(local.model.leaveFile(WizardForward, "C:\\log.txt"), "");
    EXPECT_TRUE(local.model.finished());
}

TEST_F(AddWizard, RunnerEndsOnCancelOrFinish) {
    Wizard w;
    std::vector<WizardStep> shown;
    const bool finished = runAddWizard(w.model, [&](WizardStep step) {
        shown.push_back(step);
        if (step == WizardStep::Name) w.name("Log");
        if (step == WizardStep::Type) w.model.leaveType(WizardForward, LocalFile);
        if (step == WizardStep::File) return WizardCancel;
        return WizardForward;
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(shown, (std::vector<WizardStep>{WizardStep::Name, WizardStep::Type, WizardStep::File}));
}

}  // namespace
}  // namespace hs

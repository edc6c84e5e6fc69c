#pragma once

namespace kestrova::gui {

class Session;
class frmTitlePage;

// "&Sign In" on the title window: the new-user overview, the screen check,
// the data file's state and its upgrade, the oldest data file set aside;
// then the title window closes. True when the administrative window is
// next; false when the user chose to quit (the program is ending) or the
// sign-in could not go on (the title window stays).
bool RunSignInFlow(Session& session, frmTitlePage* title);

// The data file's upgrade, as the sign-in flow runs it. Returns false when
// the program is to end.
bool UpgradeDataFile(Session& session, frmTitlePage* title);

}  // namespace kestrova::gui

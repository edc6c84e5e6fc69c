#pragma once

class QWidget;

namespace kestrova::gui {

class Session;

// The program's one way out. Unless skip is set, asks first; declining
// returns false and changes nothing. Going ahead tidies the data folder
// (empty files of the file set are deleted), closes every window and ends
// the event loop; it returns true and the caller returns at once.
bool ExitProgram(Session& session, bool skip, QWidget* owner = nullptr);

// This workstation joins the count of running workstations. It counts as
// started only when the counter took it, so that leaving takes away only a
// count it added; the count only informs, so a refusal stops nothing.
void CountThisWorkstation(Session& session);
// Takes this workstation out of the count, if it was counted.
void UncountThisWorkstation(Session& session);

}  // namespace kestrova::gui

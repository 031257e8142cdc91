// Version checks on worker threads. Each press abandons every earlier
// check, and closing the dialog abandons them all, so that only the newest
// press can show a result or open the page. An abandoned check stops at its
// next step (a network call already under way ends by its time-out), shows
// nothing more, and a result box it already shows is closed. At most two
// workers run however often the button is pressed; a press while both are
// busy is taken up by the first that comes free.
#pragma once

namespace update {

// Starts a check for this press and abandons every earlier one.
void StartCheck();
// The dialog is going: every check is abandoned.
void AbandonChecks();

}  // namespace update

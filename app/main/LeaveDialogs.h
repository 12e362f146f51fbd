#pragma once

#include "app/main/DialogContext.h"

namespace kelo::staffrecords {
class LEAVEFRM;
} // namespace kelo::staffrecords

namespace kelo::app {

// The event dialog of the view the absence and leave window shows: an
// absence event, a leave event or a leave booking, new (`edit` false) or
// the selected one. Runs modally over `context.parent`; true when the form
// stored the event. The form refuses to open it (with its reason) on a
// read-only record or, for an edit, without a selected event.
bool runEventDialog(const DialogContext& context, staffrecords::LEAVEFRM& form, bool edit);

} // namespace kelo::app

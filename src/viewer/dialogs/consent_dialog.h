#pragma once
// The question the viewer is asked before a show starts something: what exactly would start,
// which show asks, and "Allow once", "Always allow for this show" or "Don't allow" (the
// default, also on Escape and on closing the dialog).

#include "platform/gtk/dialog_owner.h"
#include "viewer/actions/consent.h"

namespace vyr {

// GTK must be available (DialogsAvailable()).
TConsentAnswer AskConsent(const TConsentSubject& subject, const std::string& showName,
                          TDialogOwner owner);

}  // namespace vyr

#pragma once
// What a user types or picks on a form, for any front end and for tests: the control's text
// or selection changes, then its change handler runs.
#include <string>

#include "platform/forms/form.h"

namespace forms {

// Places a control at its twip position; returns it for chaining further settings.
Control& Place(Control& c, int left, int top, int width, int height, int tabIndex = -1);

// Types text into a text box or an editable combo box. Raises std::invalid_argument for any
// other control.
void SetText(Form& form, const std::string& name, const std::string& text);
// Picks a combo box's entry by its text, or a month calendar's date given as yyyy-mm-dd.
// Raises std::invalid_argument for an entry the control does not hold.
void SelectItem(Form& form, const std::string& name, const std::string& item);

}  // namespace forms

#pragma once
// A small modal box that asks for one line of text: a prompt, an edit field, OK and Cancel.
#include <string>

namespace kv {

namespace ui {
class TForm;
}

// value is in (proposed) and out (typed); false on Cancel.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                ui::TForm& owner);

}  // namespace kv

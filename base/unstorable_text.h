#pragma once
// Text a user types is kept in the ANSI code page, as the project and settings files hold it.
// Characters the code page cannot hold are refused where they are typed, never stored as
// "?"; this is the message that refuses them. Portable: the characters come as code points.
#include <string>
#include <vector>

namespace kv {

// "U+0436" for one character.
std::string CodePointName(char32_t character);
// Names each character once, in the order given; `what` ("The alias name") starts the
// sentence, or "This text" when empty.
std::string UnstorableTextMessage(const std::vector<char32_t>& characters,
                                  const std::string& what = {});

}  // namespace kv

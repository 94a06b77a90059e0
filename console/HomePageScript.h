#pragma once

namespace Html {
class Page;
}  // namespace Html

// Registers the home page's own functions on a page that holds the table "section":
// add_section(id, name) adds a section "section_" + id with its name as the first line (nothing
// when it exists); add_addon(sec_id, id, name, desc, image) adds a tool's icon and name to that
// section (nothing when the section does not exist). Texts from the catalogue become text and
// attribute values, never markup.
void RegisterHomePageScript(Html::Page& page);

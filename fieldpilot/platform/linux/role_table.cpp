#include "role_table.h"

#include <array>
#include <utility>

namespace fieldpilot::platform::live {
namespace {

constexpr std::string_view kUnknownRole = "AXUnknown";

// Roles that map one to one; text roles are decided apart because they depend on state.
constexpr std::array<std::pair<AtspiRole, std::string_view>, 57> kRoles = {{
    {ATSPI_ROLE_FRAME, "AXWindow"},
    {ATSPI_ROLE_DIALOG, "AXWindow"},
    {ATSPI_ROLE_WINDOW, "AXWindow"},
    {ATSPI_ROLE_ALERT, "AXWindow"},
    {ATSPI_ROLE_FILE_CHOOSER, "AXWindow"},
    {ATSPI_ROLE_DOCUMENT_WEB, "AXWebArea"},
    {ATSPI_ROLE_DOCUMENT_FRAME, "AXWebArea"},
    {ATSPI_ROLE_FILLER, "AXGroup"},
    {ATSPI_ROLE_PANEL, "AXGroup"},
    {ATSPI_ROLE_SECTION, "AXGroup"},
    {ATSPI_ROLE_GROUPING, "AXGroup"},
    {ATSPI_ROLE_FORM, "AXGroup"},
    {ATSPI_ROLE_LANDMARK, "AXGroup"},
    {ATSPI_ROLE_ARTICLE, "AXGroup"},
    {ATSPI_ROLE_BLOCK_QUOTE, "AXGroup"},
    {ATSPI_ROLE_PARAGRAPH, "AXGroup"},
    {ATSPI_ROLE_ROOT_PANE, "AXGroup"},
    {ATSPI_ROLE_LAYERED_PANE, "AXGroup"},
    {ATSPI_ROLE_GLASS_PANE, "AXGroup"},
    {ATSPI_ROLE_OPTION_PANE, "AXGroup"},
    {ATSPI_ROLE_INTERNAL_FRAME, "AXGroup"},
    {ATSPI_ROLE_EMBEDDED, "AXGroup"},
    {ATSPI_ROLE_REDUNDANT_OBJECT, "AXGroup"},
    {ATSPI_ROLE_INFO_BAR, "AXGroup"},
    {ATSPI_ROLE_STATUS_BAR, "AXGroup"},
    {ATSPI_ROLE_CANVAS, "AXGroup"},
    {ATSPI_ROLE_DRAWING_AREA, "AXGroup"},
    {ATSPI_ROLE_SCROLL_PANE, "AXScrollArea"},
    {ATSPI_ROLE_VIEWPORT, "AXScrollArea"},
    {ATSPI_ROLE_SPLIT_PANE, "AXSplitGroup"},
    {ATSPI_ROLE_PAGE_TAB_LIST, "AXTabGroup"},
    {ATSPI_ROLE_PAGE_TAB, "AXRadioButton"},
    {ATSPI_ROLE_TOOL_BAR, "AXToolbar"},
    {ATSPI_ROLE_APPLICATION, "AXApplication"},
    {ATSPI_ROLE_PUSH_BUTTON, "AXButton"},
    {ATSPI_ROLE_TOGGLE_BUTTON, "AXButton"},
    {ATSPI_ROLE_PUSH_BUTTON_MENU, "AXMenuButton"},
    {ATSPI_ROLE_CHECK_BOX, "AXCheckBox"},
    {ATSPI_ROLE_RADIO_BUTTON, "AXRadioButton"},
    {ATSPI_ROLE_COMBO_BOX, "AXComboBox"},
    {ATSPI_ROLE_MENU_BAR, "AXMenuBar"},
    {ATSPI_ROLE_MENU, "AXMenu"},
    {ATSPI_ROLE_POPUP_MENU, "AXMenu"},
    {ATSPI_ROLE_MENU_ITEM, "AXMenuItem"},
    {ATSPI_ROLE_CHECK_MENU_ITEM, "AXMenuItem"},
    {ATSPI_ROLE_RADIO_MENU_ITEM, "AXMenuItem"},
    {ATSPI_ROLE_LABEL, "AXStaticText"},
    {ATSPI_ROLE_STATIC, "AXStaticText"},
    {ATSPI_ROLE_HEADING, "AXHeading"},
    {ATSPI_ROLE_LINK, "AXLink"},
    {ATSPI_ROLE_IMAGE, "AXImage"},
    {ATSPI_ROLE_LIST, "AXList"},
    {ATSPI_ROLE_LIST_BOX, "AXList"},
    {ATSPI_ROLE_TABLE, "AXTable"},
    {ATSPI_ROLE_TREE_TABLE, "AXOutline"},
    {ATSPI_ROLE_SCROLL_BAR, "AXScrollBar"},
    {ATSPI_ROLE_SLIDER, "AXSlider"},
}};

bool isTextRole(AtspiRole role) {
    return role == ATSPI_ROLE_TEXT || role == ATSPI_ROLE_ENTRY ||
           role == ATSPI_ROLE_PASSWORD_TEXT || role == ATSPI_ROLE_EDITBAR;
}

// A terminal or a document being written in is one long text, as a text area is on macOS.
bool isTextDocumentRole(AtspiRole role) {
    return role == ATSPI_ROLE_TERMINAL || role == ATSPI_ROLE_DOCUMENT_TEXT;
}

std::string_view textRole(AtspiRole role, TextTraits traits) {
    if (traits.multiLine)
        return "AXTextArea";
    // GTK labels that can be selected are plain text objects; only editable ones are fields.
    if (role == ATSPI_ROLE_TEXT && !traits.editable)
        return "AXStaticText";
    return "AXTextField";
}

}  // namespace

std::string_view axRole(AtspiRole role, TextTraits traits) {
    if (isTextRole(role))
        return textRole(role, traits);
    if (isTextDocumentRole(role))
        return "AXTextArea";
    // LibreOffice gives the caret to the paragraph it is in, an editable paragraph of the document;
    // a paragraph of a web page only holds other elements.
    if (role == ATSPI_ROLE_PARAGRAPH && traits.editable)
        return "AXTextArea";
    for (const auto& [atspiRole, name] : kRoles) {
        if (atspiRole == role)
            return name;
    }
    return kUnknownRole;
}

std::optional<std::string_view> axSubrole(AtspiRole role) {
    switch (role) {
        case ATSPI_ROLE_PASSWORD_TEXT:
            return "AXSecureTextField";
        case ATSPI_ROLE_FRAME:
            return "AXStandardWindow";
        case ATSPI_ROLE_DIALOG:
        case ATSPI_ROLE_ALERT:
        case ATSPI_ROLE_FILE_CHOOSER:
            return "AXDialog";
        default:
            return std::nullopt;
    }
}

}  // namespace fieldpilot::platform::live

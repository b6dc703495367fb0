#pragma once
// What the verification list does apart from its widgets: the nine sort orders,
// the four window layouts, the button rule for the current row and finding the
// current row again after a re-sort.
#include <QString>
#include <array>
#include <optional>

namespace zarv {

namespace db {
class Recordset;
}

namespace verifylist {

struct SortOrder {
    const char* option;         // the option button on the screen
    const char* caption;
    const char* toolTip;        // "" for none
    const char* menuItem;       // the View menu's item
    const char* menuCaption;
    const char* source;         // the source text of rsVerify
};
constexpr int kSortOrders = 9;
const std::array<SortOrder, kSortOrders>& sortOrders();

// A window layout; sizes in twips. The screen's and the grid's Top are 0 in all.
struct WindowLayout {
    const char* option;
    const char* caption;        // what the option button says it does
    const char* menuItem;
    const char* menuCaption;
    int screenHeight;
    int screenWidth;
    int gridHeight;
    int gridWidth;
    int msgTop;                 // Text_Msg's Top
};
constexpr int kWindowLayouts = 4;
const std::array<WindowLayout, kWindowLayouts>& windowLayouts();
constexpr int kDesignLayout = 1;    // 1024 x 768, normal fonts

// Which row buttons the current row of the list allows.
struct RowButtons {
    bool add = true;
    bool change = false;
    bool inactivate = false;    // Delete: mark "D"
    bool activate = false;      // Undelete: mark " "
    bool search = false;

    bool operator==(const RowButtons&) const = default;
};
// No current row (also a closed or empty list): Add only. A row marked "D"
// (exactly, letter case counts): Undelete and Find. Any other code: Change,
// Delete and Find.
RowButtons ButtonRule(const db::Recordset& rsVerify);

// PERMANENT DELETE removes only a row added in this list (marked "A"): any
// other row came from the tax office and goes back to it marked "D", so that
// it learns that the company's interest ended.
bool PermanentDeleteAllowed(const db::Recordset& rsVerify);
// For a row PERMANENT DELETE refuses: says why and offers to mark the row "D"
// instead, No being the default (a row marked "D" already is only told so).
// True when the clerk chose to mark it.
bool OfferToMarkDeleted(const db::Recordset& rsVerify);

// The thirteen fields by which a row is found again after a re-sort (PID is
// not among them).
constexpr int kSavedFields = 13;
const std::array<QString, kSavedFields>& savedFieldNames();

// The fields of the row that was current when the last re-sort began.
class SavedRow {
public:
    // Takes the current row's fields as texts (Null reads as ""); with no
    // current row the former values stay.
    void SaveCurrentRow(const db::Recordset& rsVerify);
    // Makes current the first row, in rsVerify's order, whose thirteen fields
    // equal the saved ones exactly (letter case counts); the first row when
    // none does. Nothing happens on an empty list.
    void RestoreCurrentRow(db::Recordset& rsVerify) const;

    const std::array<QString, kSavedFields>& values() const { return strSaved; }

private:
    std::array<QString, kSavedFields> strSaved;   // strSavedACD ... strSavedLEGAL
};

} // namespace verifylist
} // namespace zarv

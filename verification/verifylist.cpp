#include "verification/verifylist.h"

#include "platform/data/recordset.h"
#include "platform/data/values.h"
#include "platform/ui/uiservices.h"
#include "services/foliorule.h"

#include <memory>

namespace zarv::verifylist {

const std::array<SortOrder, kSortOrders>& sortOrders()
{
    static const std::array<SortOrder, kSortOrders> orders = {{
        {"Option_Sort_Mortgage", "Mortgage#", "Sort by Mortgage Number Order", "mnuSortByMortgageNumber",
         "Sort by Mortgage Number", "SELECT * FROM VERIFY ORDER BY NUMBER"},
        {"Option_Sort_MortCo", "Mort.Co", "Sort by Mortgage Company ID and Mortgage Number Order",
         "mnuSortByMortCo", "Sort by Mortgage Company and Mortgage Number",
         "SELECT * FROM VERIFY ORDER BY MORTCO, NUMBER"},
        {"Option_Sort_CD", "Collection District(CD)", "Sort by", "mnuSortByCd", "Sort by Collection District (CD)",
         "SELECT * FROM VERIFY ORDER BY CD, JUR, FOLIO"},
        {"Option_Sort_JUR", "Jurisdiction (JUR)", "", "mnuSortByJur", "Sort by Jurisdiction (JUR)",
         "SELECT * FROM VERIFY ORDER BY JUR, FOLIO"},
        {"Option_Sort_FolioNumber", "Folio Number", "", "mnuSortByFolio", "Sort by Folio Number",
         "SELECT * FROM VERIFY ORDER BY FOLIO"},
        {"Option_Sort_PID", "Property Identifier (PID)", "", "mnuSortByPID", "Sort by Property Identifier (PID)",
         "SELECT * FROM VERIFY ORDER BY PID"},
        {"Option_Sort_Name", "Name", "", "mnuSortByName", "Sort By Name", "SELECT * FROM VERIFY ORDER BY NAME"},
        {"Option_Sort_Address", "Address", "", "mnuSortByAddress", "Sort by Address",
         "SELECT * FROM VERIFY ORDER BY ADDR1, ADDR2, ADDR3, ADDR4, ADDR5"},
        {"Option_Sort_Legal", "Legal Description", "", "mnuSortByLegal", "Sort by Legal Description",
         "SELECT * FROM VERIFY ORDER BY LEGAL"},
    }};
    return orders;
}

const std::array<WindowLayout, kWindowLayouts>& windowLayouts()
{
    static const std::array<WindowLayout, kWindowLayouts> layouts = {{
        {"Option_1024x768LargeSizeFont", "Small", "mnuWindowSize1", "1024 X 768 Large Sized Fonts (120 DPI)", 8730, 11836,
         7845, 10405, 7890},
        {"Option_1024x768NormalSizeFont", "Normal", "mnuWindowSize2", "1024 X 768 Normal Sized Fonts (96 DPI) ", 10380, 15336,
         9495, 13905, 9540},
        {"Option3", "Large", "mnuWindowSize3", "1280 X 1024 Normal Sized Fonts (96 DPI)", 13680, 18836, 12795, 17405, 12840},
        {"Option4", "Largest", "mnuWindowSize4", "1600 X 1200 Normal Sized Fonts (96 DPI) ", 16980, 22336, 16095, 20905,
         16140},
    }};
    return layouts;
}

RowButtons ButtonRule(const db::Recordset& rsVerify)
{
    RowButtons b;
    if (!rsVerify.isOpen() || rsVerify.eof() || rsVerify.bof())
        return b;
    b.search = true;
    if (rsVerify.text(QStringLiteral("ACD")) == QLatin1String("D")) {
        b.activate = true;
    } else {
        b.change = true;
        b.inactivate = true;
    }
    return b;
}

bool PermanentDeleteAllowed(const db::Recordset& rsVerify)
{
    return rsVerify.isOpen() && !rsVerify.eof() && !rsVerify.bof() &&
           rsVerify.text(QStringLiteral("ACD")) == QLatin1String("A");
}

bool OfferToMarkDeleted(const db::Recordset& rsVerify)
{
    const foliorule::Record r = foliorule::RecordOf(rsVerify);
    if (r.acd == QLatin1String("D")) {
        ui::ui().msgBox(QStringLiteral("PERMANENT DELETE removes only a folio added in this list by mistake (status "
                                       "'A'). The %1 is marked D already: the tax office learns of its removal.")
                            .arg(foliorule::Identify(r)),
                        ui::Buttons::OK, ui::Icon::Information, QStringLiteral("PERMANENT DELETE"));
        return false;
    }
    const QString status = r.acd == QLatin1String(" ") || r.acd.isEmpty() ? QStringLiteral("no status")
                                                                          : QStringLiteral("status '%1'").arg(r.acd);
    ui::MessageBox question{
        QStringLiteral("PERMANENT DELETE removes only a folio added in this list by mistake (status 'A'). The %1 "
                       "has %2: it came from the tax office, and deleting it would keep the tax office from "
                       "learning that your interest in the property ended.\r\n"
                       "Mark it D (deleted) instead, so that the tax office learns of the removal?")
            .arg(foliorule::Identify(r), status),
        ui::Buttons::YesNo, ui::Icon::Question, QStringLiteral("PERMANENT DELETE"), ui::Answer::No};
    return ui::ui().msgBox(question) == ui::Answer::Yes;
}

const std::array<QString, kSavedFields>& savedFieldNames()
{
    static const std::array<QString, kSavedFields> names = {
        QStringLiteral("ACD"),   QStringLiteral("MORTCO"), QStringLiteral("NUMBER"), QStringLiteral("CD"),
        QStringLiteral("JUR"),   QStringLiteral("FOLIO"),  QStringLiteral("NAME"),   QStringLiteral("ADDR1"),
        QStringLiteral("ADDR2"), QStringLiteral("ADDR3"),  QStringLiteral("ADDR4"),  QStringLiteral("ADDR5"),
        QStringLiteral("LEGAL"),
    };
    return names;
}

void SavedRow::SaveCurrentRow(const db::Recordset& rsVerify)
{
    if (!rsVerify.isOpen() || rsVerify.recordCount() <= 0 || rsVerify.eof() || rsVerify.bof())
        return;
    for (int i = 0; i < kSavedFields; ++i)
        strSaved[size_t(i)] = rsVerify.text(savedFieldNames()[size_t(i)]);
}

void SavedRow::RestoreCurrentRow(db::Recordset& rsVerify) const
{
    if (!rsVerify.isOpen() || rsVerify.recordCount() <= 0)
        return;
    const std::unique_ptr<db::Recordset> rsVerifyClone = rsVerify.clone();
    std::array<int, kSavedFields> fields{};
    for (int i = 0; i < kSavedFields; ++i)
        fields[size_t(i)] = rsVerifyClone->fieldIndex(savedFieldNames()[size_t(i)]);
    rsVerify.moveFirst();
    for (rsVerifyClone->moveFirst(); !rsVerifyClone->eof(); rsVerifyClone->moveNext()) {
        bool same = true;
        for (int i = 0; i < kSavedFields && same; ++i)
            same = db::detail::cellText(rsVerifyClone->value(fields[size_t(i)])) == strSaved[size_t(i)];
        if (same) {
            rsVerify.setBookmark(rsVerifyClone->bookmark());
            return;
        }
    }
}

} // namespace zarv::verifylist

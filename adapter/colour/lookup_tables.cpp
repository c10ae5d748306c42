// Table reset and gamma: they change the colour tables and leave the ratios as they are.
#include "Raw2Rgb.h"
#include "colour/colour.h"
#include "colour/colour_tables.h"
#include "diagnostics/log.h"

namespace korvex {

int16_t ResetLutTable(Slot& slot) {
    ResetSlotTables(ColourOf(slot.index()));
    KX_LOG(diagnostics::Domain::Colour, diagnostics::Level::Info, slot.index() + 1,
           "colour tables reset to identity: ratios and gamma no longer applied");
    return 1;
}

int16_t SetGamma(Slot& slot, int16_t value) {
    if (value < 1 || value > 100) {
        KX_LOG(diagnostics::Domain::Colour, diagnostics::Level::Info, slot.index() + 1,
               "gamma %d refused: outside 1..100", int{value});
        return 0;
    }
    const double gamma = static_cast<double>(value / 10);  // 15 gives 1.0: the integer quotient
    ColourTablesChange change(ColourOf(slot.index()).tables);
    ColourTableSet& tables = change.tables();
    // A table the converter library refused to fill would be a stale copy: publish none of them.
    const bool filled = SetGammaLut(tables.red, gamma) != 0 && SetGammaLut(tables.green, gamma) != 0 &&
                        SetGammaLut(tables.blue, gamma) != 0;
    KX_LOG(diagnostics::Domain::Colour, diagnostics::Level::Info, slot.index() + 1, "gamma %d gives %.1f: %s",
           int{value}, gamma, filled ? "tables filled" : "refused by the converter library, tables kept");
    if (!filled) return 0;
    change.Publish();
    return 1;
}

}  // namespace korvex

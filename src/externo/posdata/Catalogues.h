#pragma once
#include "externo/state/AppState.h"

#include <QStringList>

namespace zd {

// What the main window's load found in the point-of-sale catalogues.
struct CatalogueLoad {
    enum class Outcome { Ok, NoCustomers, NoCompanyData };
    Outcome outcome = Outcome::Ok;
    // Text of customer nodes 2, 3, ... as stored: codigo "-" nombre, untrimmed.
    QStringList customerNodeTexts;
};

// Reads dbo.cliente into state.Customers (entry k for node k, entries 0 and 1
// empty, one spare entry at the end), dbo.empresa into state.Company (with
// the logo written to "<program folder>/logo" and state.LogoAvailable), and
// dbo.moneda into state.CurrencyInfo, on state.PosConnection.
// A failing query skips its step; an empty customer table or missing shop
// data (no row, empty idfiscal or idempresa 0) is reported in the outcome.
CatalogueLoad LoadCatalogues(AppState &state);

// The file the logo bytes are written to.
QString logoFile(const AppState &state);

} // namespace zd

#pragma once
// The trend and drift commands at the end of the Interpolation menu: "Trend surface"
// (a polynomial fitted by least squares; the points keep their residuals, the document
// keeps the trend, trend.csv its coefficients) and "Add trend to grid".
namespace gridora {

class CommandTable;

void RegisterTrendCommands(CommandTable& table);

}  // namespace gridora

#include "cli/command_line_help.h"

namespace gridora {

const std::vector<SubcommandHelp>& SubcommandHelps() {
  static const std::vector<SubcommandHelp> helps = {
      {"grid",
       "grid INPUT -o OUTPUT [--method min-curvature|kriging|idw|nearest|linear] [--region XMIN/XMAX/YMIN/YMAX] "
       "[--spacing DX[/DY]] [--columns X,Y,Z] [--crs CRS] [--error OUTPUT] [--set KEY=VALUE ...] [--tile I/N "
       "[--overlap W]]",
       "grid scattered points into a raster file in one call",
       "Reads the points of INPUT (a space-delimited x y z file, a delimited table with a header, or a document "
       "file), grids them with the chosen method and writes the grid to OUTPUT in the format its extension names "
       "(.tif GeoTIFF, .asc ESRI ASCII grid, .grd Surfer binary grid, .nc netCDF). Each step is the batch mode's "
       "command of the same job, with the same checks and messages. Nodes lie at XMIN + i*DX, YMIN + j*DY; without "
       "--region the grid covers the points, without --spacing the program proposes one. The diagnostic files of "
       "the commands go to a scratch folder that is removed at the end. A bar of progress goes to standard error "
       "when it is a terminal. Exit status 0 on success, 2 with one line on standard error otherwise.",
       {{"-o, --output OUTPUT", "the grid file to write"},
        {"--method NAME", "min-curvature (default), kriging, idw, nearest or linear"},
        {"--region XMIN/XMAX/YMIN/YMAX", "the first and last node in x and in y"},
        {"--spacing DX[/DY]", "the distance between nodes (DY = DX when left out)"},
        {"--columns X,Y,Z", "read INPUT as a table with a header: the x, y and z columns, by name or 1-based number"},
        {"--crs CRS", "the coordinate system written with the grid: EPSG:code, ESRI:code or WKT"},
        {"--error OUTPUT", "also write the kriging standard error to OUTPUT (kriging only)"},
        {"--set KEY=VALUE",
         "an option of the method, as the batch mode names it: the keys of surface-options "
         "(min-curvature), kriging-options (kriging), idw, nearest; may be given several times"},
        {"--tile I/N",
         "write only tile I (1 to N) of the grid: the grid split into N strips of columns, so "
         "that tiles can be computed on several machines and joined with gdalbuildvrt; needs --region "
         "and --spacing (XMAX - XMIN a multiple of DX)"},
        {"--overlap W",
         "grid each tile W map units wider on each side than it is, then cut it, so that the "
         "tiles agree at their seams"},
        {"-h, --help", "show this help"}},
       {{"gridora grid samples.xyz -o surface.tif --spacing 10",
         "minimum curvature over the points' extent, 10 units between nodes"},
        {"gridora grid wells.csv --columns easting,northing,depth -o depth.tif --method kriging --error depth_se.tif "
         "--crs EPSG:6677",
         "ordinary kriging of a table, with its standard error, georeferenced"},
        {"gridora grid samples.xyz -o s.asc --method kriging --set model=spherical --set neighbours=32 --region "
         "0/1000/0/800 --spacing 5",
         "kriging from the 32 nearest points with a spherical model on a fixed grid"},
        {"gridora grid samples.xyz -o s.tif --method idw --set power=3 --set radius=250", "inverse-distance weighting"},
        {"parallel gridora grid big.xyz -o tile{}.tif --region 0/10000/0/8000 --spacing 5 --tile {}/8 --overlap 500 "
         "::: 1 2 3 4 5 6 7 8 && gdalbuildvrt big.vrt tile*.tif",
         "eight tiles on eight cores (GNU parallel), joined into one virtual raster"}}},
      {"contour",
       "contour GRID -o OUTPUT [--interval I] [--min A] [--max B]",
       "trace the contour lines of a grid into a vector file",
       "Reads GRID (a raster file such as GeoTIFF, or a document file) and writes its contour lines to OUTPUT "
       ".gpkg, .geojson or .dxf, each line with its level in the attribute 'level'. Without options the levels are "
       "the program's default levels for the grid's range; --interval, --min and --max set them as the contour "
       "setup does. Exit status 0 on success, 2 with one line on standard error otherwise.",
       {{"-o, --output OUTPUT", "the contour file to write (.gpkg, .geojson, .dxf)"},
        {"--interval I", "the distance between levels"},
        {"--min A", "the lowest level"},
        {"--max B", "the highest level"},
        {"-h, --help", "show this help"}},
       {{"gridora contour surface.tif -o contours.gpkg --interval 5", "a line every 5 units"},
        {"gridora contour surface.tif -o c.geojson --min 100 --max 200 --interval 10", "levels 100, 110, ... 200"}}},
      {"info",
       "info FILE [--json]",
       "describe a grid or point file",
       "Reads FILE as the program would open it (a raster grid by its extension, a document file, a table with a "
       "header, a space-delimited point file) and prints what it holds: its kind, its size in bytes, for a grid the "
       "number of nodes, the spacing, the extent of the nodes and the range of the values, for points their number, "
       "extent and range of values. Exit status 0 on success, 2 with one line on standard error otherwise.",
       {{"--json", "print the same as one JSON object"}, {"-h, --help", "show this help"}},
       {{"gridora info surface.tif", "the grid's size, extent and value range"},
        {"gridora info samples.xyz --json", "the points' count, extent and range as JSON"}}},
  };
  return helps;
}

const SubcommandHelp* FindSubcommandHelp(const std::string& name) {
  for (const SubcommandHelp& help : SubcommandHelps())
    if (help.name == name) return &help;
  return nullptr;
}

std::string HelpText(const SubcommandHelp& help) {
  std::string text =
      "usage: gridora " + help.synopsis + "\n\n" + help.summary + ".\n\n" + help.description + "\n\noptions:\n";
  for (const HelpOption& option : help.options) text += "  " + option.flags + "\n      " + option.text + "\n";
  text += "\nexamples:\n";
  for (const HelpExample& example : help.examples) text += "  " + example.command + "\n      " + example.text + "\n";
  return text;
}

std::string UsageText() {
  std::string text;
  for (const SubcommandHelp& help : SubcommandHelps()) text += "       gridora " + help.synopsis + "\n";
  return text;
}

}  // namespace gridora

// The klotz catalogue: the types named in "tumbalon_all.cfg", in file order,
// each with its mesh. A type is identified everywhere by its index.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "klotz/Mesh.h"
#include "klotz/MovingParts.h"

namespace klotz {

constexpr const char* CATALOGUE_FILE = "tumbalon_all.cfg";
constexpr std::size_t MAX_NAME_LENGTH = 99;

struct KlotzPart {
    PartDecl decl;
    Mesh mesh;  // in the klotz's frame, at rest
};

struct KlotzType {
    std::string name;  // base path of the mesh files, without extension
    Mesh mesh;
    std::vector<KlotzPart> parts;  // from "NAME.parts", if there is one
};

struct KlotzCatalogue {
    std::vector<std::string> catalogueNames;
    std::vector<KlotzType> klotzTypes;
    // Display list id of each type in the main window's GL context; 0 where
    // no GL is present (the headless simulator, the tests).
    std::vector<int> typeDisplayLists;

    // Per type, the display list of each moving part; empty without GL.
    std::vector<std::vector<int>> partDisplayLists;

    int typeCount() const { return static_cast<int>(klotzTypes.size()); }
    bool validType(int t) const { return t >= 0 && t < typeCount(); }
    // Type t's display list; 0 while it has none (no GL).
    int displayListOf(int t) const {
        return t >= 0 && t < static_cast<int>(typeDisplayLists.size()) ? typeDisplayLists[t] : 0;
    }
    int partDisplayListOf(int t, int k) const {
        if (t < 0 || t >= static_cast<int>(partDisplayLists.size())) return 0;
        const std::vector<int>& lists = partDisplayLists[t];
        return k >= 0 && k < static_cast<int>(lists.size()) ? lists[k] : 0;
    }
};

// The type's mesh with its moving parts at rest merged in: what the
// palette shows.
Mesh meshAtRest(const KlotzType& type);

// Reads the catalogue list file (in the working directory) into
// catalogueNames. A missing file or one naming no type is reported once on
// out and leaves the list empty; over-long names, names containing '/' and
// names with control characters (io::hasControlCharacters) are refused with
// a message naming the line.
void loadCatalogueList(KlotzCatalogue& catalogue, std::ostream& out, const std::string& path = CATALOGUE_FILE);

// The type names of a catalogue list's text, in order, with loadCatalogueList's
// refusals; path only names the file in the messages.
std::vector<std::string> parseCatalogueList(const std::string& text, const std::string& path, std::ostream& out);

// Builds every type of catalogueNames in order: its mesh from the ".klotz"
// cache, or from the ".obj" file followed by writing the cache. Display
// lists are the GL layer's; this leaves typeDisplayLists at 0 per type.
void loadKloetze(KlotzCatalogue& catalogue, std::ostream& out);

// A new type with its mesh loaded and its moving parts (see MovingParts.h);
// parts whose file is refused are left out with a warning. The mesh comes
// from the cache first, else from the OBJ file with the cache written.
// A damaged cache is reported and rebuilt from the OBJ file. Without an OBJ
// file the type stays empty and no cache is written (a damaged one is left
// as it is).
KlotzType constructKlotzType(const std::string& name, std::ostream& out);

}  // namespace klotz

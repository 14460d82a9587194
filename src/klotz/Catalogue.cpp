#include "klotz/Catalogue.h"

#include <filesystem>
#include <ostream>

#include "klotz/KlotzCache.h"
#include "klotz/ObjLoader.h"
#include "klotz/TextInput.h"

namespace klotz {

namespace {

// The absolute folder the list file was looked for in, for the messages.
std::string folderOf(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return ".";
    return absolute.parent_path().string();
}

}  // namespace

void loadCatalogueList(KlotzCatalogue& catalogue, std::ostream& out, const std::string& path) {
    catalogue.catalogueNames.clear();
    std::string text;
    if (!readTextFile(path, text)) {
        out << "\nWARNING: can not open the catalogue list \"" << path << "\" in \"" << folderOf(path)
            << "\"; running with no klotz types\n";
        return;
    }
    WordScanner scanner(text);
    for (Word word = scanner.next(); !word.empty(); word = scanner.next()) {
        if (word.size() > MAX_NAME_LENGTH) {
            // Refused whole: cutting it would name a different file.
            out << "\nWARNING: \"" << path << "\" line " << word.line << ": the name \"" << word.str()
                << "\" is longer than " << MAX_NAME_LENGTH << " characters; type left out\n";
            continue;
        }
        catalogue.catalogueNames.push_back(word.str());
    }
    if (catalogue.catalogueNames.empty())
        out << "\nWARNING: the catalogue list \"" << path << "\" in \"" << folderOf(path)
            << "\" names no klotz type; running with no klotz types\n";
}

KlotzType constructKlotzType(const std::string& name, std::ostream& out) {
    KlotzType type;
    type.name = name;
    const CacheStatus cache = readKlotzCache(name, type.mesh, out);
    if (cache == CacheStatus::Loaded) return type;
    const bool objRead = loadObj(name, type.mesh, out);
    if (!objRead && cache == CacheStatus::Malformed) {
        // Nothing to rebuild it from: keep the damaged file for the user
        // rather than replace it with an empty mesh.
        out << "\nWARNING: keeping the damaged .klotz-file \"" << name << ".klotz\"; the type stays empty\n";
        return type;
    }
    // A missing OBJ file leaves the mesh empty, and that empty mesh is cached
    // too, so later starts do not look for the OBJ file again.
    writeKlotzCache(name, type.mesh, out);
    return type;
}

void loadKloetze(KlotzCatalogue& catalogue, std::ostream& out) {
    catalogue.klotzTypes.clear();
    catalogue.klotzTypes.reserve(catalogue.catalogueNames.size());
    for (const std::string& name : catalogue.catalogueNames) catalogue.klotzTypes.push_back(constructKlotzType(name, out));
    catalogue.typeDisplayLists.assign(catalogue.klotzTypes.size(), 0);
}

}  // namespace klotz

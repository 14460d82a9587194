#include "klotz/Catalogue.h"

#include <filesystem>
#include <ostream>

#include "io/FileReader.h"
#include "io/WordScanner.h"
#include "klotz/KlotzCache.h"
#include "klotz/ObjLoader.h"

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

std::vector<std::string> parseCatalogueList(const std::string& text, const std::string& path, std::ostream& out) {
    std::vector<std::string> names;
    io::WordScanner scanner(text);
    for (io::Word word = scanner.next(); !word.empty(); word = scanner.next()) {
        const auto warn = [&](const std::string& what) {
            out << "\nWARNING: " << io::Error{io::Failure::Malformed, path, word.line, what}.message()
                << "; type left out\n";
        };
        if (word.size() > MAX_NAME_LENGTH) {
            // Refused whole: cutting it would name a different file.
            warn("the name \"" + word.printable() + "\" is longer than " + std::to_string(MAX_NAME_LENGTH) +
                 " characters");
            continue;
        }
        if (word.view().find('/') != std::string_view::npos) {
            // A type's name is the base of the files read and written for
            // it; with a '/' they could lie anywhere.
            warn("the name \"" + word.printable() + "\" contains '/'; types are files in this folder");
            continue;
        }
        if (io::hasControlCharacters(word.view())) {
            // Type names are printed in the window, on the console and in
            // the simulator's lines, where such bytes would steer the terminal.
            warn("the name \"" + word.printable() + "\" contains control characters");
            continue;
        }
        names.push_back(word.str());
    }
    return names;
}

void loadCatalogueList(KlotzCatalogue& catalogue, std::ostream& out, const std::string& path) {
    catalogue.catalogueNames.clear();
    const io::Result<std::string> text = io::readFile(path);
    if (!text) {
        if (text.error().failure == io::Failure::CannotOpen)
            out << "\nWARNING: can not open the catalogue list \"" << io::printable(path) << "\" in \""
                << io::printable(folderOf(path)) << "\"; running with no klotz types\n";
        else
            out << "\nWARNING: the catalogue list " << text.error().message() << "; running with no klotz types\n";
        return;
    }
    catalogue.catalogueNames = parseCatalogueList(*text, path, out);
    if (catalogue.catalogueNames.empty())
        out << "\nWARNING: the catalogue list \"" << io::printable(path) << "\" in \"" << io::printable(folderOf(path))
            << "\" names no klotz type; running with no klotz types\n";
}

namespace {

// A type of just its mesh: cache first, else OBJ and cache written.
KlotzType constructMeshType(const std::string& name, std::ostream& out) {
    KlotzType type;
    type.name = name;
    io::Result<Mesh> cached = readKlotzCache(name, out);
    if (cached) {
        type.mesh = std::move(*cached);
        return type;
    }
    io::Result<Mesh> obj = loadObj(name, out);
    if (!obj) {
        // Nothing to build a cache from: an empty cache would hide the OBJ
        // file once it appears, and a damaged one stays for the user.
        const io::Failure failure = cached.error().failure;
        if (failure == io::Failure::Malformed || failure == io::Failure::TooLarge)
            out << "\nWARNING: keeping the damaged .klotz-file \"" << io::printable(name)
                << ".klotz\"; the type stays empty\n";
        return type;
    }
    type.mesh = std::move(*obj);
    writeKlotzCache(name, type.mesh, out);
    return type;
}

KlotzType withMovingParts(KlotzType type, std::ostream& out) {
    const std::string path = type.name + ".parts";
    const io::Result<std::string> text = io::readFile(path);
    if (!text) {
        if (text.error().failure != io::Failure::CannotOpen)
            out << "\nWARNING: the moving parts " << text.error().message() << "; left out\n";
        return type;
    }
    io::Result<std::vector<PartDecl>> decls = parseMovingParts(*text, path);
    if (!decls) {
        out << "\nWARNING: the moving parts " << decls.error().message() << "; left out\n";
        return type;
    }
    for (PartDecl& decl : *decls) {
        KlotzType mesh = constructMeshType(type.name + "_" + decl.name, out);
        if (mesh.mesh.faces.empty()) {
            out << "\nWARNING: the moving part \"" << io::printable(decl.name) << "\" of \"" << io::printable(type.name)
                << "\" has no mesh; its parts are left out\n";
            type.parts.clear();
            return type;
        }
        type.parts.push_back({std::move(decl), std::move(mesh.mesh)});
    }
    return type;
}

}  // namespace

KlotzType constructKlotzType(const std::string& name, std::ostream& out) {
    return withMovingParts(constructMeshType(name, out), out);
}

Mesh meshAtRest(const KlotzType& type) {
    Mesh all = type.mesh;
    for (const KlotzPart& part : type.parts) {
        const Mesh& m = part.mesh;
        const auto first = static_cast<std::int32_t>(all.vertices.size() / 3);
        all.vertices.insert(all.vertices.end(), m.vertices.begin(), m.vertices.end());
        all.cornerNormals.insert(all.cornerNormals.end(), m.cornerNormals.begin(), m.cornerNormals.end());
        all.faceNormals.insert(all.faceNormals.end(), m.faceNormals.begin(), m.faceNormals.end());
        for (std::int32_t v : m.faces) all.faces.push_back(v + first);
        all.vertexCount += m.vertexCount;
        all.cornerNormalCount += m.cornerNormalCount;
        all.faceNormalCount += m.faceNormalCount;
        all.faceCount += m.faceCount;
    }
    return all;
}

void loadKloetze(KlotzCatalogue& catalogue, std::ostream& out) {
    catalogue.klotzTypes.clear();
    catalogue.klotzTypes.reserve(catalogue.catalogueNames.size());
    for (const std::string& name : catalogue.catalogueNames) catalogue.klotzTypes.push_back(constructKlotzType(name, out));
    catalogue.typeDisplayLists.assign(catalogue.klotzTypes.size(), 0);
}

}  // namespace klotz

#include "batch/NodesCommand.h"

#include "gis/GisModule.h"
#include "platform/AtomicFile.h"
#include "platform/RunTimeError.h"

namespace batch {
namespace {

int nodesUsage(Console& console, const std::string& problem) {
    console.err << "velmora-batch: nodes: " << problem << '\n'
                << "Run with --help for more information.\n";
    return BadUsage;
}

}  // namespace

int nodesCommand(const NodesRequest& request, Console& console) {
    return runVerb(console, request.import.from, [&] {
        std::unique_ptr<AtomicFileWriter> file;
        try {
            // Claimed first, so an output that cannot be written fails before the layer is read.
            file = std::make_unique<AtomicFileWriter>(request.out);
        } catch (RunTimeError& error) {
            error.setLocation(request.out, 0);
            throw;
        }
        // Read back as the program and the other verbs read node files: with the locale's
        // decimal separator.
        const std::string text =
            importNodeFile(gisLayers(), request.import, console.separators.decimal);
        if (!file->write(text) || !file->commit()) {
            throw inOutErrorFor("Cannot write file", request.out, file->error());
        }
        return static_cast<int>(Success);
    });
}

NodesVerb::NodesVerb(CLI::App& app, const CLI::Validator& fileName)
    : Verb(app, "nodes",
           "Write a node file from the features of a GIS layer (GeoPackage, Shapefile, GeoJSON, "
           "FlatGeobuf, KML, CSV): one line per feature, in the layer's order") {
    NodeImport& import = m_request.import;
    command()
        .add_option("--from", import.from, "GIS file to read the layer from")
        ->required()
        ->check(fileName);
    command().add_option("--layer", import.layer,
                         "Layer to read; needed when the file has several");
    command()
        .add_option("--out", m_request.out,
                    "Node file to write; its extension sets the coordinates: longitude and "
                    "latitude on WGS 84 for .GRT and .NET, projected coordinates for .EUC and "
                    ".MAN")
        ->required()
        ->check(fileName);
    command().add_option("--demand-field", import.demandField,
                         "Field of demand set 1 (a number, 0 or more); 0 when not given");
    command().add_option("--second-demand-field", import.secondDemandField,
                         "Field of demand set 2; the first demand field's value when not given");
    command().add_option("--number-field", import.numberField,
                         "Field of the node's further number (field 6); 0 when not given");
    command().add_option("--name-field", import.nameField,
                         "Field of the node's name; control characters and line ends become "
                         "spaces");
    command().add_option("--id-field", import.idField,
                         "Field of the node's id (one word); the feature's number when not given");
    auto* x = command().add_option("--x-field", import.xField,
                                   "A CSV file's column of X or longitude; without it the columns "
                                   "lon, longitude or x");
    auto* y = command().add_option("--y-field", import.yField,
                                   "A CSV file's column of Y or latitude; without it the columns "
                                   "lat, latitude or y");
    x->needs(y);
    y->needs(x);
    m_sourceCrs =
        command().add_option("--source-crs", m_sourceCrsText,
                             "CRS of a layer that has none, such as a CSV file's (default "
                             "EPSG:4326)");
    command().add_option("--crs", import.crs,
                         "Projected CRS for .EUC and .MAN node files (for example EPSG:25832); "
                         "without it the layer's own, which must then be projected");
    command().add_flag("--centroids", import.centroids,
                       "Take a polygon's or a line's point on surface; without it only points are "
                       "taken");
}

int NodesVerb::run(Console& console, const Actions& actions) {
    NodeImport& import = m_request.import;
    const auto coordinates = coordinatesForNodeFile(m_request.out);
    if (!coordinates) {
        return nodesUsage(
            console,
            "--out must end in .GRT or .NET (longitude and latitude) or in .EUC or .MAN "
            "(projected coordinates)");
    }
    import.coordinates = *coordinates;
    if (!import.crs.empty() && import.coordinates == NodeCoordinates::LongitudeLatitude) {
        return nodesUsage(
            console,
            "--crs is for .EUC and .MAN node files; .GRT and .NET ones hold longitude "
            "and latitude on WGS 84");
    }
    if (m_sourceCrs->count() > 0) {
        import.sourceCrs = m_sourceCrsText;
    }
    return actions.nodes(m_request, console);
}

}  // namespace batch

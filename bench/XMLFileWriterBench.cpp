// Writing the parts of a package: a worksheet-shaped XML stream of rows and
// cells through XMLFileWriter (items = cells), then zipping a work folder of
// such parts with QVZipArchive (bytes = uncompressed bytes).

#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "writer/QVZipArchive.h"
#include "writer/XMLFileWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

void writeSheet(const std::string& path, int rows) {
    auto w = XMLFileWriter::openForWriting(path);
    w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0");
    w->writeStartElement("worksheet");
    w->writeAttribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    w->writeStartElement("sheetData");
    for (int r = 1; r <= rows; ++r) {
        w->writeStartElement("row");
        w->writeAttribute("r", std::to_string(r));
        w->writeAttribute("ht", "17.6");
        for (int c = 0; c < 7; ++c) {
            w->writeStartElement("c");
            w->writeAttribute("r", std::string(1, char('A' + c)) + std::to_string(r));
            w->writeAttribute("s", "3");
            if (c == 2)
                w->writeAttribute("t", "s");
            w->writeStartElement("v");
            w->writeCharacters(c == 2 ? std::to_string(r) : std::to_string(r * 1234.5 + c));
            w->writeEndElement();
            w->writeEndElement();
        }
        w->writeEndElement();
    }
    w->writeEndElement();
    w->writeEndElement();
    w->writeEndDocument();
}

void WorksheetXML(benchmark::State& state) {
    const std::string path = fixtures::makeTestFolder("bench-xml") + "/sheet1.xml";
    for (auto _ : state)
        writeSheet(path, static_cast<int>(state.range(0)));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 7);
}

void SharedStringsText(benchmark::State& state) {
    // Text with characters that need escaping and UTF-16 input, as shared
    // strings carry it.
    const std::string path = fixtures::makeTestFolder("bench-sst") + "/sharedStrings.xml";
    const std::u16string text = u"Caf\u00e9 & \u201cSons\u201d <Ltd> \u20ac 1,234.56";
    for (auto _ : state) {
        auto w = XMLFileWriter::openForWriting(path);
        w->writeStartDocument();
        w->writeStartElement("sst");
        for (int i = 0; i < state.range(0); ++i) {
            w->writeStartElement("si");
            w->writeStartElement("t");
            w->writeCharacters(text);
            w->writeEndElement();
            w->writeEndElement();
        }
        w->writeEndElement();
        w->writeEndDocument();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ZipWorkFolder(benchmark::State& state) {
    const std::string folder = fixtures::makeTestFolder("bench-zip");
    const std::string parts = folder + "/work";
    platform::createDirectories(parts + "/xl/worksheets");
    int64_t bytes = 0;
    for (int i = 1; i <= state.range(0); ++i) {
        const std::string p = parts + "/xl/worksheets/sheet" + std::to_string(i) + ".xml";
        writeSheet(p, 46);
        struct stat st {};
        ::stat(p.c_str(), &st);
        bytes += st.st_size;
    }
    for (auto _ : state) {
        QVZipArchive zip;
        zip.setFixedEntryDate(0);
        zip.CreateZipFile2(folder + "/book.xlsx");
        zip.addFolderToZip(parts, "");
        benchmark::DoNotOptimize(zip.CloseZipFile2());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace

BENCHMARK(WorksheetXML)->Arg(46)->Arg(4600)->Unit(benchmark::kMillisecond);
BENCHMARK(SharedStringsText)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZipWorkFolder)->Arg(50)->Unit(benchmark::kMillisecond);

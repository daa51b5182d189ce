// Writes every picture, the font and the data files into the Resources/ tree.
#include "tools/asset_gen/generator.hpp"

#include "tools/asset_gen/art.hpp"
#include "tools/asset_gen/manifest.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

constexpr int kThumbWidth = 240;
constexpr int kThumbHeight = 170;

// Standard output is shared by the worker threads; one line at a time.
std::mutex& printLock() {
    static std::mutex m;
    return m;
}

void say(const std::string& line) {
    std::lock_guard<std::mutex> lock(printLock());
    std::cout << line << std::endl;
}

// The game can run without its font (it says so and draws no text), so a missing one is reported
// and the rest goes on.
void copyFont(const fs::path& out) {
    std::error_code ec;
    fs::copy_file(kFontPath, out / "COOPBL.ttf", fs::copy_options::overwrite_existing, ec);
    if (ec) {
        say(std::string("asset_gen: cannot copy the font ") + kFontPath + " to COOPBL.ttf: " + ec.message() +
            " (install fonts-dejavu-core)");
    }
}

// Copies every .json file of the data folder into JsonData/; false when there is no such folder.
bool copyData(const fs::path& dataDir, const fs::path& jsonDir) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) {
        say("asset_gen: the data folder " + dataDir.string() + " does not exist");
        return false;
    }
    fs::create_directories(jsonDir, ec);
    for (const fs::directory_entry& e : fs::directory_iterator(dataDir, ec)) {
        std::error_code fileError;
        if (!e.is_regular_file(fileError) || e.path().extension() != ".json") {
            continue;
        }
        fs::copy_file(e.path(), jsonDir / e.path().filename(), fs::copy_options::overwrite_existing,
                      fileError);
        if (fileError) {
            say("asset_gen: cannot copy " + e.path().string() + ": " + fileError.message());
        }
    }
    return true;
}

Canvas thumbnail(const Canvas& c) {
    float scale =
        std::min(static_cast<float>(kThumbWidth) / c.width(), static_cast<float>(kThumbHeight) / c.height());
    scale = std::min(scale, 1.0f);
    int w = std::max(1, static_cast<int>(std::lround(c.width() * scale)));
    int h = std::max(1, static_cast<int>(std::lround(c.height() * scale)));
    Canvas t(w, h);
    t.drawCanvas(c, 0, 0, static_cast<float>(w), static_cast<float>(h));
    return t;
}

struct Result {
    std::string path;
    Canvas thumb;
    bool ok = false;
};

void writeContactSheet(const std::vector<Result>& results, const std::string& file) {
    const int columns = 8;
    const int cellW = kThumbWidth + 24, cellH = kThumbHeight + 64;
    int rows = static_cast<int>((results.size() + columns - 1) / columns);
    Canvas sheet(columns * cellW, rows * cellH + 70);
    sheet.fill(rgb(0x24222f));
    drawText(sheet, "Grumbo! generated pictures (" + std::to_string(results.size()) + ")",
             {sheet.width() / 2.0f, 35}, 34, {.fill = kWhite});
    for (size_t i = 0; i < results.size(); ++i) {
        float x = static_cast<float>((i % columns) * cellW + 12);
        float y = static_cast<float>((i / columns) * cellH + 70);
        const Canvas& t = results[i].thumb;
        float tx = x + (kThumbWidth - t.width()) / 2.0f, ty = y + (kThumbHeight - t.height()) / 2.0f;
        // A checkerboard shows what is transparent.
        for (int py = 0; py < t.height(); ++py) {
            for (int px = 0; px < t.width(); ++px) {
                bool dark = ((px / 10) + (py / 10)) % 2 == 0;
                sheet.blend(static_cast<int>(tx) + px, static_cast<int>(ty) + py,
                            dark ? rgb(0x55536a) : rgb(0x67657e), 1);
            }
        }
        sheet.drawCanvas(t, std::floor(tx), std::floor(ty), static_cast<float>(t.width()),
                         static_cast<float>(t.height()));
        std::string name = results[i].path.substr(results[i].path.find('/') + 1);
        std::string wrapped;
        for (char ch : name) {
            wrapped += ch;
            if (ch == '/' || ch == '_') {
                wrapped += ' ';
            }
        }
        drawParagraph(sheet, wrapped, {x, y + kThumbHeight + 12, x + kThumbWidth, y + cellH}, 15,
                      {.fill = results[i].ok ? kWhite : rgb(0xff6060)}, 1.2f, Align::Centre);
    }
    if (!sheet.toImage().saveToFile(file)) {
        say("asset_gen: cannot write the contact sheet " + file);
    }
}

} // namespace

namespace {

bool writePictures(const GeneratorOptions& options) {
    auto start = std::chrono::steady_clock::now();
    fs::path out(options.outDir);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) {
        say("asset_gen: cannot create " + out.string() + ": " + ec.message());
        return false;
    }
    // Font and data problems are reported and the pictures still made; only pictures that
    // cannot be written make the run fail.
    copyFont(out);
    MapSet maps;
    if (options.dataDir.empty()) {
        say("asset_gen: no --data folder given; no maps or map pictures are written");
    } else if (copyData(options.dataDir, out / "JsonData")) {
        maps = loadMapSet((out / "JsonData").string());
        for (const std::string& problem : maps.problems) {
            say(problem);
        }
    }

    std::vector<PictureEntry> entries = allPictures(maps);
    std::vector<Result> results(entries.size());
    // Biggest first, so the threads finish together.
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return entries[a].width * entries[a].height > entries[b].width * entries[b].height;
    });
    std::atomic<size_t> next{0};
    bool wantSheet = !options.contactSheet.empty();
    auto work = [&]() {
        for (size_t k = next++; k < order.size(); k = next++) {
            const PictureEntry& entry = entries[order[k]];
            Result& result = results[order[k]];
            result.path = entry.path;
            try {
                Canvas canvas(entry.width, entry.height);
                entry.draw(canvas);
                fs::path file = out / entry.path;
                std::error_code dirError;
                fs::create_directories(file.parent_path(), dirError);
                result.ok = canvas.toImage().saveToFile(file.string());
                if (!result.ok) {
                    say("asset_gen: cannot write " + file.string());
                }
                if (wantSheet) {
                    result.thumb = thumbnail(canvas);
                }
            } catch (const std::exception& e) {
                say("asset_gen: drawing " + entry.path + " failed: " + e.what());
            }
        }
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < threads; ++i) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& t : pool) {
        t.join();
    }
    size_t written = std::count_if(results.begin(), results.end(), [](const Result& r) { return r.ok; });
    bool ok = written == results.size();
    if (wantSheet) {
        writeContactSheet(results, options.contactSheet);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char summary[128];
    std::snprintf(summary, sizeof summary, "asset_gen: %zu of %zu pictures written in %.1f s", written,
                  results.size(), seconds);
    say(summary);
    return ok;
}

} // namespace

bool generatePictures(const GeneratorOptions& options) {
    // A file-system error or a failed allocation ends the run with one line, never a crash.
    try {
        return writePictures(options);
    } catch (const std::exception& e) {
        say(std::string("asset_gen: stopped: ") + e.what());
        return false;
    }
}

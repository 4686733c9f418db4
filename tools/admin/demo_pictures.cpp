#include "admin/demo_pictures.h"

#include "database/database_files.h"
#include "database/picture_files.h"
#include "database/picture_writing.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace k4::admin {

namespace {

struct Colour {
    uint8_t r, g, b;
};
constexpr Colour kPaper{246, 243, 232}, kWall{40, 40, 48}, kDoor{176, 120, 60}, kPanel{200, 30, 30},
    kDetector{30, 90, 200}, kWindow{120, 180, 220};

void box(RgbPicture& p, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(0, y0); y <= std::min(p.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(p.width - 1, x1); ++x) p.set(x, y, c.r, c.g, c.b);
}

void disc(RgbPicture& p, int cx, int cy, int radius, Colour c) {
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius) box(p, x, y, x, y, c);
}

// A floor plan of the premises: rooms, doors and windows, the alarm panel
// (red) and the detectors (blue) where the sectors of the demo lie.
RgbPicture floorPlan(int variant) {
    RgbPicture p = RgbPicture::filled(480, 320, kPaper.r, kPaper.g, kPaper.b);
    const int wall = 5;
    box(p, 20, 20, 460, 20 + wall, kWall);
    box(p, 20, 295, 460, 295 + wall, kWall);
    box(p, 20, 20, 20 + wall, 300, kWall);
    box(p, 455, 20, 460, 300, kWall);
    const int split = variant == 0 ? 260 : 200;
    box(p, split, 20, split + wall, 300, kWall);
    box(p, split, 170, 460, 170 + wall, kWall);
    box(p, 20 + wall, 120, 140, 120 + wall, kWall);
    // Doors: gaps in the walls with a leaf drawn in brown.
    box(p, split, 80, split + wall, 130, kPaper);
    box(p, 300, 170, 350, 170 + wall, kPaper);
    box(p, 60, 295, 110, 300, kDoor);
    box(p, 60, 120, 100, 125, kPaper);
    // Windows along the street front.
    for (int x = 150; x + 40 < 455; x += 70) box(p, x, 20, x + 40, 20 + wall, kWindow);
    disc(p, 40, 280, 8, kPanel);
    const int detectors[][2] = {{120, 60}, {200, 240}, {350, 100}, {400, 240}, {60, 200}};
    for (const auto& d : detectors) disc(p, d[0], d[1], 6, kDetector);
    return p;
}

// A view of the front: the sky, the building with its windows, a door.
RgbPicture frontView() {
    RgbPicture p = RgbPicture::filled(400, 260, 150, 190, 235);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < p.width; ++x)
            p.set(x, y, static_cast<uint8_t>(120 + y / 4), static_cast<uint8_t>(170 + y / 5), 240);
    box(p, 0, 220, 399, 259, {110, 110, 110});
    box(p, 60, 70, 340, 220, {214, 180, 140});
    box(p, 50, 60, 350, 72, {140, 60, 50});
    for (int x = 80; x < 330; x += 60)
        for (int y = 90; y < 160; y += 55) box(p, x, y, x + 35, y + 35, kWindow);
    box(p, 180, 160, 220, 220, {90, 60, 40});
    disc(p, 320, 100, 7, kPanel); // the siren over the entrance
    return p;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

struct DemoObject {
    int number;
    const char* description;
};

const DemoObject kDescribed[] = {
    {1001, "Apteka na parterze kamienicy, wejście od ulicy Marszałkowskiej.\n"
           "Zaplecze i magazyn leków od podwórza, drzwi stalowe.\n"
           "Centrala alarmowa w korytarzu przy wyjściu ewakuacyjnym.\n"
           "Klucze: kierownik apteki, Anna Kowalska, oraz ochrona budynku.\n"
           "Pies stróżujący w nocy na podwórzu - nie wchodzić bez właściciela!"},
    {1002, "Piekarnia z dwoma piecami, praca od godziny 3:00.\n"
           "Czujki dymu wyłączone w hali pieców; w sklepie czujki ruchu.\n"
           "Dojazd od ulicy Grójeckiej, brama wjazdowa zamykana na kłódkę."},
};

} // namespace

bool addDemoDescription(SubscriberDatabase& db, Sbscrbr& s, const std::string& dir) {
    const DemoObject* object = nullptr;
    for (const DemoObject& o : kDescribed)
        if (o.number == s.number()) object = &o;
    if (!object) return true;

    std::string text = object->description;
    std::string stored;
    for (char c : text) stored += c == '\n' ? std::string("\r\n") : std::string(1, c);
    stored = MazoviaFromUtf8(stored);
    OnDemandFile opis(db.files(), DbFile::Opis, mz("\x03otwarcia pliku opisu"));
    if (!opis.ok()) return false;
    int32_t first = 0;
    if (opis.file().WriteChain(first, stored.data(), static_cast<int>(stored.size())) != 0) return false;
    s.record.desc = first;

    const std::string pictures = dir + "/" + kPictureDirectory;
    ::mkdir(pictures.c_str(), 0755);
    char head[8];
    std::snprintf(head, sizeof head, "%4.4d", s.number());
    if (s.number() == 1001)
        return writeFile(pictures + "/" + head + "1PLN.pcx", encodePcx(floorPlan(0), true)) &&
               writeFile(pictures + "/" + head + "2WID.jpg", encodeJpeg(frontView())) &&
               writeFile(pictures + "/" + head + "3ZAP.bmp", encodeBmp(floorPlan(1)));
    return writeFile(pictures + "/" + head + "1PLN.pcx", encodePcx(floorPlan(1), false));
}

} // namespace k4::admin

#pragma once
// The pictures of one subscriber in the directory "grafika" of the data
// directory: files named by the subscriber's number (four digits), the
// picture's number (one digit), a short name of up to three characters and
// the extension pcx, jpg or bmp. The first five characters of a name - the
// subscriber and the number - are the picture's slot; two pictures of one
// subscriber in the same slot conflict. File names are UTF-8 (a short name
// may have Polish letters); the boxes show them converted.
#include "messages/messages.h"
#include "platform/data_dir.h"

#include <functional>
#include <string>
#include <vector>

namespace k4 {

inline constexpr const char* kPictureDirectory = "grafika";
// Where a picture waits while two pictures swap their numbers.
inline constexpr const char* kSwapFileName = "_temp_.___";
// Where an added picture is copied before it takes its name, so that a
// failed copy never spoils the picture it was to replace.
inline constexpr const char* kIncomingPicture = "_nowa_.___";

// The parts of a picture's file name; the subscriber and the number are
// what stands there, digits or not.
struct PictureNameParts {
    std::string subscriber; // the first four characters
    int number = 0;         // the fifth character as a digit, 0 when it is none
    std::string shortName;  // up to 3 characters before the extension's dot
    std::string extension;  // without the dot
};
PictureNameParts splitPictureName(const std::string& name);

// What the picture list shows for a file: the number, and after two blanks
// the short name when there is one ("2  PLN").
std::string pictureLineText(const std::string& name);
// "%4.4d%1.1d%s.%s" of the parts.
std::string pictureFileName(int subscriber, int number, const std::string& shortName, const std::string& extension);
// The first three characters of a typed short name.
std::string shortPictureName(const std::string& typed);

class SubscriberPictures {
public:
    // copyIn: the backup's copy of a file name of a directory into a path
    // (0 copied, -1 after the box that said why).
    using CopyIn = std::function<int(const std::string& target, const std::string& name, const std::string& directory)>;

    SubscriberPictures(const DataDir& dir, int subscriber, Messages& messages, CopyIn copyIn = {});

    // Reads the directory again: the subscriber's PCX files, then its JPEG
    // files, then its BMP files, each group in the directory's order.
    void listPictures();
    const std::vector<std::string>& names() const { return names_; }
    std::string directory() const;
    std::string pathOf(const std::string& name) const;

    // The chosen file of a directory copied in as picture number/shortName,
    // with the questions about a file already there and a picture in the
    // same slot. 0 added, 1 the operator gave it up, -1 it failed (told).
    int add(const std::string& sourceDirectory, const std::string& sourceName, int number,
            const std::string& shortName);
    // A listed picture renamed or renumbered; a picture in the new slot is
    // swapped with it or deleted, as the operator answers. 0 done, 1 given
    // up or nothing changed.
    int change(const std::string& name, int number, const std::string& shortName);
    // A listed picture deleted after the question. 0 deleted, 1 kept, -1
    // the file could not be deleted (told).
    int remove(const std::string& name);

private:
    // A listed picture other than except in the slot of fileName.
    std::string inSlot(const std::string& fileName, const std::string& except) const;
    void abandoned();

    DataDir dir_;
    int subscriber_;
    Messages& messages_;
    CopyIn copyIn_;
    std::vector<std::string> names_;
};

// The plain files of a directory whose names end in .pcx, then .jpg, then
// .bmp (in any case): what the picture chooser offers.
std::vector<std::string> pictureFilesIn(const std::string& directory);

} // namespace k4

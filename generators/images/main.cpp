// kettrix-image-gen <output directory>
//   Paints every image of the editor into <output directory> as PNG files,
//   at 100 % there and at each larger zoom into a subfolder named after it
//   (150/, 200/), with the same file names.
// kettrix-image-gen --docs <image directory> <output directory>
//   Writes the review pictures: the background with every control's
//   rectangle drawn over it, and contact sheets of the frame strips.
#include "Catalog.h"
#include "DocsPictures.h"
#include "resources/Zoom.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char** argv) {
    using namespace kettrix::artwork;
    namespace zoom = kettrix::zoom;
    if (argc == 4 && std::strcmp(argv[1], "--docs") == 0) {
        return writeDocsPictures(argv[2], argv[3]) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n       %s --docs <image directory> <output directory>\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::vector<ImageEntry> catalog = imageCatalog();
    int failures = 0;
    for (int percent : zoom::kPercents) {
        const std::string directory = std::string(argv[1]) + "/" + zoomFolder(percent);
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        for (const ImageEntry& image : catalog) {
            if (image.height % image.frames != 0) {
                std::fprintf(stderr, "%s: %d frames do not divide the height %d\n", image.file.c_str(), image.frames,
                             image.height);
                ++failures;
                continue;
            }
            Canvas canvas(image.width, image.height, image.frames, percent);
            canvas.frame(0);
            image.paint(canvas);
            const std::string path = directory + image.file;
            if (!canvas.writePng(path)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}

// The skins: the four sets of key pictures, the ten named pictures and the learning animation,
// read from the five bundles beside the program (ui/skin_reading.h) while the splash is up, and
// taken into the window when it is first shown.
#include <system_error>
#include <utility>

#include "ui/main_window.h"

void MainWindow::StartReadingSkins() {
    // Pictures of the services' own stand in for the skins.
    if (services_.pictures)
        return;
    try {
        skinReading_ =
            std::async(std::launch::async, ReadSkins, ProgramFolder(), services_.pictureCache);
    } catch (const std::system_error&) {
        // No thread to be had: LoadSkins reads them itself.
    }
}

bool MainWindow::LoadSkins() {
    if (services_.pictures)
        return true;
    SkinReading reading = skinReading_.valid() ? skinReading_.get()
                                               : ReadSkins(ProgramFolder(), services_.pictureCache);
    if (!reading.registered)
        return false;
    animation_.Write(reading.animation);
    pictures_.animationFile = animation_.Path();
    // Moved: each pixmap takes its decoded pixels over instead of copying them.
    for (auto& [index, picture] : reading.keyPictures)
        pictures_.keyPictures[static_cast<qsizetype>(index)] =
            QPixmap::fromImage(std::move(picture));
    for (auto& [name, picture] : reading.namedPictures)
        pictures_.namedPictures.insert(name, QPixmap::fromImage(std::move(picture)));
    return reading.complete;
}

void MainWindow::DeleteAnimationFile() {
    animation_.Delete();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the project reader: any bytes either read or give EFileError, never a crash,
// a sanitizer report or a read outside the contact array. A project that reads is written
// back, and writing what that gives reads again to the same bytes.
#include "TErrors.h"
#include "TPinGrid.h"
#include "TProjectFile.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray image(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray plain;
    try {
        plain = TProjectFile::Read(image).Write();
    } catch (const EFileError&) {
    }
    if (!plain.isEmpty() && TProjectFile::Read(plain).Write() != plain)
        std::abort();

    TPinGrid x1, x2;
    TSootv sootv(&x1, &x2);
    TWorkPlace workPlace;
    workPlace.FSootv = &sootv;
    bool read = true;
    try {
        workPlace.LoadFromImage(image);
    } catch (const EFileError&) {
        read = false;
    }
    // Both readers accept the same files.
    if (read != !plain.isEmpty())
        std::abort();
    if (read) {
        workPlace.SetTesterMode(true);
        workPlace.SetTesterMode(false);
        const QByteArray saved = workPlace.SaveToImage();
        TWorkPlace again;
        TSootv sootv2;
        again.FSootv = &sootv2;
        again.LoadFromImage(saved);
        if (again.SaveToImage() != saved)
            std::abort();
    }
    return 0;
}

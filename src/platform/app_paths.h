#pragma once
// Where the program keeps files of its own on the user's machine.

#include <QString>

// The path of fileName in the user's application data folder, which is made when it does not
// exist yet. The folder's name comes from the application's organisation and name, so call
// this after QCoreApplication has them. When the folder cannot be made, the path is still
// given: writing there then fails, and the caller handles that as any failed write. When the
// platform names no data folder at all, the path is empty, and writing fails the same way.
QString AppDataFilePath(const QString& fileName);

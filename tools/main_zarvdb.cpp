// zarvdb: creates the program's database files in a folder, as the programs do in
// the user's data folder on first start. Running it again over existing files
// changes nothing.
#include "services/schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: zarvdb <folder>\n";
        return 2;
    }
    QString error;
    if (!zarv::createDatabases(args.at(1), &error)) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    return 0;
}

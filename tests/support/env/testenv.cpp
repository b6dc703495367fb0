#include "env/testenv.h"

#include "services/schema.h"
#include "services/screens/Form_InformationDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zarv::test {

void DeTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    ui_ = std::make_unique<ui::ScopedUi>();
    useInformationDialog();
    QString error;
    ASSERT_TRUE(createDatabases(dir_.path(), &error)) << error.toStdString();
    restart();
}

void DeTest::TearDown()
{
    if (ui_) {
        EXPECT_TRUE(ui_->get().clean()) << ui_->get().report().toStdString();
    }
    takeDE().reset();
    ui_.reset();
}

void DeTest::restart()
{
    takeDE().reset();
    auto de = std::make_unique<DataEnvironment>(dir_.path(), QStringLiteral("zarv"));
    ASSERT_TRUE(de->DataEnvironment_Initialize());
    installDE(std::move(de));
}

QString DeTest::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString p = dir_.filePath(name);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << p.toStdString();
    return p;
}

QByteArray DeTest::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString samplePath(const QString& name)
{
    return QDir(QStringLiteral(ZARV_SOURCE_DIR "/samples")).filePath(name);
}

} // namespace zarv::test

// How much typing a kill costs: the real program typing at a steady pace is killed at moments spread
// over several seconds, and the age of its recovery copy at the kill is read from the copy. Then the
// program killed a moment after typing stops: its copy must hold every key.
#include "editor/recoverycopy.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
const int KeyEveryMs = 50;
const int Kills = 20;

struct Killed
{
    double ageSeconds = -1; // -1: no copy was found
    qsizetype keys = 0; // keys the copy holds
};

// Starts the program on a fresh data folder, lets it type `keys` z's (a letter the start-up page does
// not hold) at the pace, kills it afterMs after the typing began, and reads the copy it left.
Killed typeAndKill(int keys, int afterMs)
{
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TYPING_PROGRAM), {});
    const auto line = [&program] {
        while (!program.canReadLine())
            if (!program.waitForReadyRead(60000))
                return QByteArray();
        return program.readLine().trimmed();
    };
    if (line() != "ready")
        return {};
    program.write("pace " + QByteArray::number(KeyEveryMs) + ' ' + QByteArray(keys, 'z') + '\n');
    if (line() != "pacing")
        return {};
    QThread::msleep(afterMs);
    const qint64 killedAt = QDateTime::currentMSecsSinceEpoch();
    ::kill(pid_t(program.processId()), SIGKILL);
    program.waitForFinished();

    QDirIterator copies(home.filePath(u"data"_s), { u"*.recovery"_s }, QDir::Files, QDirIterator::Subdirectories);
    if (!copies.hasNext())
        return {};
    QFile file(copies.next());
    file.open(QIODevice::ReadOnly);
    const std::optional<RecoveryCopy> copy = RecoveryCopy::fromBytes(file.readAll());
    if (!copy)
        return {};
    return { (killedAt - copy->written.toMSecsSinceEpoch()) / 1000.0, copy->utf8.count('z') };
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Killed while typing goes on, from 1 s to 15 s in: the copy is never older than the longest interval.
    // Typing lost counts the keys the copy misses (all of them before the first copy).
    std::vector<double> ages, lost;
    int missing = 0;
    for (int i = 0; i < Kills; ++i) {
        const int afterMs = 1000 + i * 14000 / (Kills - 1);
        const Killed killed = typeAndKill(400, afterMs);
        const qsizetype typed = qMin(400, afterMs / KeyEveryMs);
        lost.push_back(qMax<qsizetype>(0, typed - killed.keys) * KeyEveryMs / 1000.0);
        if (killed.ageSeconds < 0)
            ++missing;
        else
            ages.push_back(killed.ageSeconds);
    }
    std::printf("recovery-copy-age-at-kill: median %.1f s, max %.1f s over the %d of %d kills after the first copy,"
                " typing %d keys a second\n",
        ages.empty() ? -1.0 : median(ages), ages.empty() ? -1.0 : *std::max_element(ages.begin(), ages.end()),
        Kills - missing, Kills, 1000 / KeyEveryMs);
    std::printf("recovery-typing-lost-at-kill: median %.1f s, max %.1f s of typing over %d kills\n", median(lost),
        *std::max_element(lost.begin(), lost.end()), Kills);
    // Killed 1.5 s after the last of 40 keys.
    int whole = 0;
    const int pauses = 5;
    for (int i = 0; i < pauses; ++i)
        whole += typeAndKill(40, 40 * KeyEveryMs + 1500).keys == 40 ? 1 : 0;
    std::printf("recovery-copy-after-pause: %d of %d kills 1.5 s after typing stopped kept every key\n", whole, pauses);
    return 0;
}

// startup: time from process start to the main window's first paint, Vellumo against a minimal
// Qt Widgets window with one editor, alternating runs of both in one run of this program.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double runOnce(const QString &program)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    process.waitForFinished(60000);
    return timer.nsecsElapsed() / 1e6;
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
    const QString vellumo = QStringLiteral(VELLUMO_PROBE);
    const QString minimal = QStringLiteral(MINIMAL_PROBE);
    runOnce(vellumo); // warm the file cache for both
    runOnce(minimal);
    std::vector<double> ours, peer;
    for (int i = 0; i < 9; ++i) {
        ours.push_back(runOnce(vellumo));
        peer.push_back(runOnce(minimal));
    }
    std::printf("startup: ratio %.2f (target <= 1.5)\n", median(ours) / median(peer));
    std::printf("startup-vellumo: %.1f ms\n", median(ours));
    std::printf("startup-minimal: %.1f ms\n", median(peer));
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-files: loading and saving a large project (40 connectors of 50 contact rows x 101
// positions, 190 correspondences), median of several runs, through the real files.

#include "BenchQuick.h"
#include "TPinGrid.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct TProject {
    TPinGrid X1, X2;
    TSootv Sootv{&X1, &X2};
    TWorkPlace WorkPlace;
    TProject() { WorkPlace.FSootv = &Sootv; }
};

// Fills the connectors directly (as a loaded project holds them), names and all.
void Fill(TProject& p) {
    for (int k = 0; k < 40; ++k) {
        auto r = std::make_unique<TRazem>();
        TRazem& z = *r;
        p.WorkPlace.Add(std::move(r));
        z.ClearPositions();
        z.SetRowCount(100);
        z.SetColCount(101);
        z.SetButtSize(k % 3);
        z.SetBounds(30 + 40 * k, 25 + 10 * k);
        z.FNameList.append(QString::fromLatin1(TRazem::ReservedName));
        for (int row = 0; row < 50; ++row) {
            const QString prefix = QStringLiteral("р%1_").arg(row);
            z.FRows.push_back({101, 1, 1, 1, 1, prefix});
            for (int c = 0; c < 101; ++c) {
                z.FNameList.append(prefix + QString::number(c + 1));
                TContact& t = z.FCells[c][2 * row];
                t.State = TContactState::csFree;
                t.NameIndex = int(z.FNameList.size()) - 1;
            }
        }
        z.SetRazName(QStringLiteral("XT%1").arg(k));
    }
    int n = 0;
    for (int grid = 1; grid <= 2; ++grid)
        for (int row = 1; row <= 3; ++row)
            for (int col = 1; col <= 32; ++col) {
                if (row == 1 && col == 32)
                    continue;
                auto rec = std::make_unique<TSootvData>();
                rec->FGrid = std::uint8_t(grid);
                rec->FCol = col;
                rec->FRow = row;
                rec->FPin = TSootv::PinCode(grid, col, row);
                const int k = n % 40;
                const int c = n % 101;
                const int g = 2 * (n % 50);
                TRazem& z = *p.WorkPlace.Razem(k);
                rec->AddName(z.ContactName(c, g));
                rec->AddContact({c, g}, k);
                z.FCells[c][g].State = TContactState::csTied;
                p.Sootv.Add(std::move(rec));
                ++n;
            }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel bench XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("большой.pvl"));
    TProject source;
    Fill(source);
    const int kRuns = BenchSize(BenchQuick(argc, argv), 9, 1);
    std::vector<double> save, load;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        source.WorkPlace.SaveToFile(path);
        save.push_back(double(t.nsecsElapsed()) / 1e6);

        TProject target;
        t.restart();
        target.WorkPlace.LoadFromFile(path);
        load.push_back(double(t.nsecsElapsed()) / 1e6);
        if (target.WorkPlace.Count() != 40 || target.Sootv.Count() != 190) {
            std::fprintf(stderr, "the project did not read back whole\n");
            return 1;
        }
    }
    std::printf("load_ms: %.1f\nsave_ms: %.1f\n", Median(load), Median(save));
    return 0;
}

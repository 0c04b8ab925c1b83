// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <memory>
#include <vector>

class TRazem;
class TSootv;
class TSootvData;

// The container of every connector of the open project. A connector's position in the list is
// its identity everywhere else (the correspondence table names connectors by it), so the list
// stays dense and every connector knows its index. The widget side creates a view for each
// connector it is told about and drops it before the connector goes.
class TWorkPlace : public QObject {
    Q_OBJECT
  public:
    explicit TWorkPlace(QObject* parent = nullptr);
    ~TWorkPlace() override;

    TSootv* FSootv = nullptr; // the correspondence table in use; not owned
    bool FSootvShown = false; // the correspondence dialog is on screen
    int SelectedRazem = -1;   // index of the selected connector, -1 none
    // Unsaved changes of the project; a project just created or read has none.
    bool Modified = false;

    int Count() const { return int(FRazems.size()); }
    // The connector at an index, or null when there is none.
    TRazem* Razem(int index) const;
    // Entry i of a table record as the grids and the check name it: "XT1:a1" (":a1" when its
    // connector is gone).
    QString TiedContactName(const TSootvData& record, int i) const;
    TRazem* Selected() const { return Razem(SelectedRazem); }
    int IndexOfName(const QString& name) const;

    bool Add(std::unique_ptr<TRazem> razem);
    bool Delete(int index);
    void FillSootvGrids();
    void ClearSootvGrids();

    // The worker reads the mode on every pass from its own thread.
    bool IsTesterMode() const { return FTesterMode.load(std::memory_order_acquire); }
    void SetTesterMode(bool on);
    void SetRazemsEnabled(bool enabled);
    void Deselect();
    // Selects a connector as a click does: the previous label turns white, this one aqua.
    void Select(int index);
    // The project file. SaveToFile builds the image and writes it to a temporary file that then
    // replaces the target, so a failed save leaves the previous file whole; Modified is cleared
    // only after the file is in place. Both raise EFileError with the reason.
    void SaveToFile(const QString& path);
    // Reads a project into this freshly created, empty workspace (and its empty table). On
    // EFileError the connectors read completely before the damage stay, a connector whose
    // record is damaged is removed again, and so every table entry names a connector and a
    // contact cell that exist.
    void LoadFromFile(const QString& path);
    // The same on an image in memory.
    QByteArray SaveToImage() const;
    void LoadFromImage(const QByteArray& image);

    void ReleaseGeneratorSlot(int slot);
    // Every generator contact of the table becomes a tied contact again; each connector repaints.
    void StopGenerators();

  signals:
    void RazemAdded(TRazem* razem);
    void RazemRemoving(TRazem* razem);
    void TesterModeChanged(bool on);

  private:
    std::vector<std::unique_ptr<TRazem>> FRazems;
    std::atomic<bool> FTesterMode{false};
};

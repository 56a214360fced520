// SPDX-License-Identifier: GPL-3.0-or-later
// Save game and Open game: the game record file of the main window. The bytes are laid out by
// GameRecord; here they meet the file system, the dialogs and the game state.
#include <QFile>
#include <QSaveFile>

#include "Dialogs.h"
#include "MainForm.h"

namespace {
// A record never needs more than this; a longer file is read only this far, so a damaged or
// foreign file cannot make the window take its whole size into memory.
constexpr qint64 LongestRecord = 11 + 2 * static_cast<qint64>(MaxRecordMoves);
}  // namespace

bool TForm1::AskFileName(QFileDialog& dialog, QFileDialog::AcceptMode mode, QString& fileName) {
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                     : QFileDialog::ExistingFile);
  dialog.setNameFilter("*.lnd");
  dialog.setDefaultSuffix("lnd");
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  return Dialogs.ExecuteFileDialog(dialog, fileName);
}

void TForm1::Action6Execute() {
  QString fileName;
  if (AskFileName(*SaveDialog1, QFileDialog::AcceptSave, fileName)) SaveRecord(fileName);
}

void TForm1::Action7Execute() {
  StopThinking();
  QString fileName;
  if (AskFileName(*OpenDialog1, QFileDialog::AcceptOpen, fileName)) OpenRecord(fileName);
}

// The record goes to a temporary file that replaces the old one only once all of it has been
// written, so a failed save never destroys the game saved before. The file is unbuffered and
// written until every byte is out or the system names its reason: a write that stops short
// (a full disk) is a failure, and the temporary file is dropped without a commit.
void TForm1::SaveRecord(const QString& fileName) {
  const std::vector<uint8_t> bytes = EncodeRecord(History);
  const char* data = reinterpret_cast<const char*>(bytes.data());
  const qint64 size = static_cast<qint64>(bytes.size());
  QSaveFile file(fileName);
  qint64 done = 0;
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    for (qint64 step = 0; done < size; done += step) {
      step = file.write(data + done, size - done);
      if (step <= 0) break;
    }
  }
  if (done != size || !file.commit()) {
    const QString reason = file.error() == QFileDevice::NoError
                               ? QString("the record could not be written completely")
                               : file.errorString();
    ShowMessageBox(QString("Cannot save \"%1\": %2").arg(fileName, reason));
    return;
  }
  ShowMessageBox(QString("Save successful！total steps：%1").arg(History.size()));
}

// Every check comes before the game is touched: a refused file leaves the game as it was.
void TForm1::OpenRecord(const QString& fileName) {
  QFile file(fileName);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.read(LongestRecord);
  if (!file.isOpen() || file.error() != QFileDevice::NoError) {
    ShowMessageBox(QString("Cannot open \"%1\": %2").arg(fileName, file.errorString()));
    return;
  }
  TRecordRead record =
      DecodeRecord(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
  if (record.Status == TRecordStatus::InvalidFormat) {
    ShowMessageBox("invalid format！");
    return;
  }
  if (record.Status == TRecordStatus::BadCount) {
    ShowMessageBox(QString("Cannot open \"%1\": it announces %2 moves, more than a record can "
                           "hold (0 to %3).")
                       .arg(fileName)
                       .arg(record.Count)
                       .arg(MaxRecordMoves));
    return;
  }

  History = std::move(record.Moves);
  PlyCount = 0;
  BoardEngine->Clear();
  SideToMove = CellBlack;
  PlayMode = ModeReplay;
  StepForward(1);
  EnableStepCommands(TStepEvent::RecordOpened);
  RedrawBoard();
  ShowMessageBox(QString("Open successful! total steps：%1").arg(History.size()));
}

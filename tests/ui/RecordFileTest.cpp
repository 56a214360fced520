// SPDX-License-Identifier: GPL-3.0-or-later
// Save game and Open game: the bytes of the record, the replay an open starts, and every way a
// file can be refused without changing the game or losing the file saved before.
#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "WindowFixture.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int value : values)
    bytes.append(static_cast<char>(value));
  return bytes;
}

const QByteArray Magic = Bytes({6, 'l', 'n', 'd', '2', '.', '1'});

// Everything a refused open or a failed save must leave alone.
struct TGameState {
  std::vector<MoveEntry> History;
  int32_t PlyCount, LastColumn, LastRow;
  uint8_t SideToMove, PlayMode;
  bool Backward, Forward;
  std::vector<uint8_t> Cells;
  bool operator==(const TGameState& other) const {
    return History == other.History && PlyCount == other.PlyCount &&
           LastColumn == other.LastColumn && LastRow == other.LastRow &&
           SideToMove == other.SideToMove && PlayMode == other.PlayMode &&
           Backward == other.Backward && Forward == other.Forward && Cells == other.Cells;
  }
};

class RecordFile : public WindowTest {
 protected:
  QTemporaryDir Folder;

  QString PathOf(const QString& name) const { return Folder.filePath(name); }
  QString Write(const QString& name, const QByteArray& bytes) const {
    QFile file(PathOf(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  QByteArray Read(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  TGameState State() const {
    TGameState state{Form->History,
                     Form->PlyCount,
                     Form->LastColumn,
                     Form->LastRow,
                     Form->SideToMove,
                     Form->PlayMode,
                     Form->Action4->isEnabled(),
                     Form->Action5->isEnabled(),
                     {}};
    for (int column = 1; column <= 15; ++column) {
      for (int row = 1; row <= 15; ++row)
        state.Cells.push_back(Form->BoardEngine->CellAt(column, row));
    }
    return state;
  }
  void PlayThreeMoves() {
    NewGame(false, false);
    Click(8, 8);
    Click(9, 9);
    Click(10, 8);
  }
};

TEST_F(RecordFile, SaveWritesTheWholeHistoryByteForByte) {
  PlayThreeMoves();
  Form->Action4->trigger();
  const TGameState before = State();
  Dialogs.NextFileName = PathOf("game.lnd");
  Form->ToolButton2->click();
  EXPECT_EQ(Dialogs.LastAcceptMode, QFileDialog::AcceptSave);
  EXPECT_EQ(Dialogs.LastFilters, QStringList{"*.lnd"});
  EXPECT_EQ(Dialogs.LastDefaultSuffix, "lnd");
  EXPECT_FALSE(Form->SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(Read(PathOf("game.lnd")), Magic + Bytes({3, 0, 0, 0, 8, 8, 9, 9, 10, 8}));
  EXPECT_EQ(Dialogs.Messages, Texts({"Save successful！total steps：3"}));
  EXPECT_TRUE(State() == before) << "saving changes nothing in the game";

  // Cancelling the dialog saves nothing.
  Dialogs.NextFileName.clear();
  Dialogs.Messages.clear();
  Form->N18->trigger();
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(RecordFile, OpenStartsAReplayOnTheFirstMove) {
  const QString path = Write("three.lnd", Magic + Bytes({3, 0, 0, 0, 8, 8, 9, 9, 10, 8}));
  NewGame(false, true);
  Click(1, 1);
  Dialogs.NextFileName = path;
  Form->ToolButton8->click();
  EXPECT_EQ(Dialogs.LastAcceptMode, QFileDialog::AcceptOpen);
  EXPECT_EQ(Dialogs.LastFilters, QStringList{"*.lnd"});
  EXPECT_EQ(Dialogs.Messages, Texts({"Open successful! total steps：3"}));
  EXPECT_EQ(Form->PlayMode, ModeReplay);
  EXPECT_EQ(Form->History, Moves({{8, 8}, {9, 9}, {10, 8}}));
  EXPECT_EQ(Form->PlyCount, 1);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellBlack);
  EXPECT_EQ(Form->BoardEngine->CellAt(1, 1), CellEmpty);
  EXPECT_EQ(Form->LastColumn, 8);
  EXPECT_FALSE(Form->Action4->isEnabled());
  EXPECT_TRUE(Form->Action5->isEnabled());

  // The replay steps one move at a time; the Mode button into computer play makes it two.
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
  Form->ToolButton9->click();
  EXPECT_EQ(Form->PlayMode, ModeComputer);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 0);
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
}

TEST_F(RecordFile, ARefusedClickStillEndsTheReplay) {
  Write("three.lnd", Magic + Bytes({3, 0, 0, 0, 8, 8, 9, 9, 10, 8}));
  NewGame(true, false);
  Form->OpenRecord(PathOf("three.lnd"));
  Form->Action5->trigger();
  Click(8, 8);  // occupied
  EXPECT_EQ(Form->PlayMode, ModeComputer);
  EXPECT_EQ(Form->PlyCount, 2);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 0) << "computer play steps two moves";
}

TEST_F(RecordFile, OpenZeroAndOneMoveRecords) {
  PlayThreeMoves();
  Form->OpenRecord(Write("empty.lnd", Magic + Bytes({0, 0, 0, 0})));
  EXPECT_EQ(Dialogs.Messages, Texts({"Open successful! total steps：0"}));
  EXPECT_TRUE(Form->History.empty());
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellEmpty);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_TRUE(Form->Action5->isEnabled());
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 0);

  Dialogs.Messages.clear();
  Form->OpenRecord(Write("one.lnd", Magic + Bytes({1, 0, 0, 0, 3, 4})));
  EXPECT_EQ(Dialogs.Messages, Texts({"Open successful! total steps：1"}));
  EXPECT_EQ(Form->BoardEngine->CellAt(3, 4), CellBlack);
  EXPECT_EQ(Form->PlyCount, 1);
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 1);
}

TEST_F(RecordFile, DamagedFilesAreRefusedAndChangeNothing) {
  const QByteArray three = Bytes({3, 0, 0, 0, 8, 8, 9, 9, 10, 8});
  const QString invalid = "invalid format！";
  const struct {
    const char* Name;
    QByteArray Bytes;
    bool NamesTheFile;
  } cases[] = {
      {"wrong-magic.lnd", Bytes({6, 'l', 'n', 'd', '2', '.', '0'}) + three, false},
      {"first-byte.lnd", Bytes({5}) + Magic.mid(1) + three, false},
      {"short.lnd", Magic.left(5), false},
      {"empty-file.lnd", QByteArray(), false},
      {"truncated-count.lnd", Magic + Bytes({3, 0}), false},
      {"negative-count.lnd", Magic + Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + three, true},
      {"huge-count.lnd", Magic + Bytes({0x00, 0x00, 0x01, 0x00}), true},
      {"largest-count.lnd", Magic + Bytes({0xFF, 0xFF, 0xFF, 0x7F}), true},
  };
  PlayThreeMoves();
  Form->Action4->trigger();
  const TGameState before = State();
  for (const auto& damaged : cases) {
    Dialogs.Messages.clear();
    const QString path = Write(damaged.Name, damaged.Bytes);
    Form->OpenRecord(path);
    ASSERT_EQ(Dialogs.Messages.size(), 1u) << damaged.Name;
    if (damaged.NamesTheFile)
      EXPECT_TRUE(Dialogs.Messages[0].contains(path)) << Dialogs.Messages[0].toStdString();
    else
      EXPECT_EQ(Dialogs.Messages[0], invalid) << damaged.Name;
    EXPECT_TRUE(State() == before) << damaged.Name;
  }

  // A file that cannot be read: missing, or a folder.
  for (const QString& path : {PathOf("missing.lnd"), Folder.path()}) {
    Dialogs.Messages.clear();
    Form->OpenRecord(path);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(Dialogs.Messages[0].startsWith("Cannot open \"" + path + "\": "))
        << Dialogs.Messages[0].toStdString();
    EXPECT_TRUE(State() == before);
  }
}

TEST_F(RecordFile, MissingEntriesAreZeroAndRefusedWhenSteppedOnto) {
  NewGame(false, false);
  Form->OpenRecord(Write("cut.lnd", Magic + Bytes({3, 0, 0, 0, 8, 8, 9})));
  EXPECT_EQ(Form->History, Moves({{8, 8}, {9, 0}, {0, 0}}));
  Dialogs.Messages.clear();
  Form->Action5->trigger();
  Form->Action5->trigger();
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!", " Set Wrong!"}));
  EXPECT_EQ(Form->PlyCount, 3);
}

TEST_F(RecordFile, FailedSaveKeepsTheOldFileAndTheGame) {
  PlayThreeMoves();
  const TGameState before = State();
  const QString unwritable = PathOf("no-such-folder/game.lnd");
  Form->SaveRecord(unwritable);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_TRUE(Dialogs.Messages[0].startsWith("Cannot save \"" + unwritable + "\": "));

  // A write that fails half-way (the file size limit stands in for a full disk) leaves the
  // previous record untouched.
  const QByteArray old = Magic + Bytes({1, 0, 0, 0, 3, 4});
  const QString path = Write("old.lnd", old);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit tight = saved;
  tight.rlim_cur = 12;
  setrlimit(RLIMIT_FSIZE, &tight);
  Dialogs.Messages.clear();
  Form->SaveRecord(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_TRUE(Dialogs.Messages[0].startsWith("Cannot save \"" + path + "\": "))
      << Dialogs.Messages[0].toStdString();
  EXPECT_EQ(Read(path), old);
  EXPECT_TRUE(State() == before);
}

TEST_F(RecordFile, SavedReopenedAndResavedIsIdentical) {
  NewGame(true, false);
  Click(8, 8);
  Click(8, 9);
  Click(7, 10);
  Form->SaveRecord(PathOf("first.lnd"));
  Form->OpenRecord(PathOf("first.lnd"));
  while (Form->Action5->isEnabled())
    Form->Action5->trigger();
  Form->Action4->trigger();
  Form->SaveRecord(PathOf("second.lnd"));
  EXPECT_EQ(Read(PathOf("first.lnd")).size(), 11 + 2 * 6);
  EXPECT_EQ(Read(PathOf("first.lnd")), Read(PathOf("second.lnd")));
}

// The longest record the reader accepts arrives whole through Open game, its last entry from the
// file's last two bytes, and Save game writes the same bytes back.
TEST_F(RecordFile, TheLargestRecordOpensToItsLastByteAndSavesIdentically) {
  QByteArray bytes = Magic + Bytes({MaxRecordMoves & 0xFF, MaxRecordMoves >> 8, 0, 0});
  for (int move = 0; move < MaxRecordMoves - 1; ++move)
    bytes += Bytes({1 + move % 15, 1 + move / 15 % 15});
  bytes += Bytes({14, 3});
  ASSERT_EQ(bytes.size(), 11 + 2 * MaxRecordMoves);
  NewGame(false, false);
  const QString path = Write("largest.lnd", bytes);
  Form->OpenRecord(path);
  EXPECT_EQ(Dialogs.Messages, Texts({"Open successful! total steps：65535"}));
  ASSERT_EQ(Form->History.size(), static_cast<size_t>(MaxRecordMoves));
  EXPECT_TRUE(Form->History.back() == (MoveEntry{14, 3}));
  EXPECT_TRUE(Form->History[MaxRecordMoves - 2] ==
              (MoveEntry{1 + (MaxRecordMoves - 2) % 15, 1 + (MaxRecordMoves - 2) / 15 % 15}));
  Form->SaveRecord(PathOf("again.lnd"));
  EXPECT_EQ(Read(PathOf("again.lnd")), bytes);
}

}  // namespace

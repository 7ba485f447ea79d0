#pragma once
// Pieces the general configuration pages share: texts in the page's language, check
// boxes added to a layout, and the choice of a font face and size.

#include <QString>
#include <QWidget>
#include <string>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace volta::shell {

// The Japanese or the English text (language 0 or 1).
QString pick(int language, const char* japanese, const char* english);
QCheckBox* addCheck(QBoxLayout* layout, const QString& label);

// A face name from the installed families, or any name typed (a stored face that is
// not installed stays as it is, and a note says the default face shows instead), and a
// size in pixels.
class FontChoice : public QWidget {
  Q_OBJECT

 public:
  FontChoice(int language, QWidget* parent = nullptr);
  void set(const std::string& face, int size);
  std::string face() const;
  int size() const;
  QComboBox* faceBox() const { return face_; }
  QSpinBox* sizeBox() const { return size_; }
  QLabel* missingNote() const { return missing_; }

 private:
  QComboBox* face_;
  QSpinBox* size_;
  QLabel* missing_;
};

// A file name with a button that chooses one through a file dialog.
class FileChoice : public QWidget {
  Q_OBJECT

 public:
  // `standIn` is shown greyed while the name is empty.
  FileChoice(const QString& caption, const QString& filter, const QString& standIn, QWidget* parent = nullptr);
  void set(const std::string& name);
  std::string name() const;
  QLineEdit* edit() const { return edit_; }

 private:
  void browse();
  QString caption_, filter_;
  QLineEdit* edit_;
};

}  // namespace volta::shell

#include "app/Dorvane1.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Dorvane 1.6"));
    resize(536, 348);
}

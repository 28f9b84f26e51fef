#pragma once
// The map control: draws one shapefile layer of polygons. (Being built.)
#include <QWidget>

class MapaControl : public QWidget
{
    Q_OBJECT

public:
    explicit MapaControl(QWidget *parent = nullptr);
};

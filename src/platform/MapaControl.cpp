#include "platform/MapaControl.h"

MapaControl::MapaControl(QWidget *parent) : QWidget(parent) {}

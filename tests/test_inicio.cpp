// Start-up (and its failures) and the rebuild for the current plot.
#include "fixtures/VentanaPrueba.h"

#include <QDate>
#include <QFileInfo>

using namespace modBasico;
using namespace Qt::StringLiterals;

class TestInicio : public QObject
{
    Q_OBJECT

private slots:
    void ordenDeArranque()
    {
        Huerto h(0);
        h.bd.agregarParcela(u"Huerto"_s, 4, 5, 19);
        h.bd.agregarParcela(u"Norte"_s, 6, 6, 21, true);
        h.bd.agregarParcela(u"Sur"_s, 3, 1, 1);
        QVERIFY(h.arrancar());
        FormPrincipal &w = *h.w;
        // The splash came first, and nothing else asked the user anything.
        QCOMPARE(h.r.peticiones.size(), 1);
        QCOMPARE(h.r.peticiones.first().clase, u"FormPortada"_s);

        QCOMPARE(control<QListWidget>(w, "ListaParcelas")->item(2)->text(), u"Sur"_s);
        QCOMPARE(control<QListWidget>(w, "ListaParcelas")->currentRow(), 1);
        QCOMPARE(w.sesion().parcela(), u"Norte"_s);
        QCOMPARE(w.sesion().año(), QDate::currentDate().year());
    }

    void tablaDeParcelasVacia()
    {
        Huerto h(0);
        QVERIFY(h.arrancar());
        QCOMPARE(control<QListWidget>(*h.w, "ListaParcelas")->count(), 0);
        QCOMPARE(h.r.mensajes().size(), 0);
        // The first plot gets the sheet count shown, its name without blanks.
        control<QLineEdit>(*h.w, "TextCrearNuevaParcela")->setText(u" Primera  "_s);
        control<QPushButton>(*h.w, "BtCrearNuevaParcela")->click();
        QCOMPARE(h.bd.parcelas(), QStringList{u"Primera|3|1|1|000|436|1"_s});
        QCOMPARE(control<QListWidget>(*h.w, "ListaParcelas")->currentItem()->text(), u"Primera"_s);
        QCOMPARE(control<QComboBox>(*h.w, "ComboNHojas")->currentText().toInt(), h.w->sesion().nhojas());
    }

    void sinBaseDeDatos()
    {
        Huerto h(Huerto::Enviadas);
        QVERIFY(QFile::remove(h.bd.fichero()));
        QVERIFY(!h.arrancar());
        QCOMPARE(h.r.avisos().size(), 1);
        // The file and the reason in words, then the engine's own text.
        const QString inicio = u"*|Critico|SoloAceptar|No se puede usar la base de datos "_s + h.bd.fichero()
                               + u": el fichero no existe.\n\n"_s;
        QVERIFY2(h.r.avisos()[0].startsWith(inicio) && h.r.avisos()[0].size() > inicio.size(),
                 qPrintable(h.r.avisos()[0]));
        QVERIFY(!QFileInfo::exists(h.bd.fichero()));
    }

    void reconstruirNoDuplica()
    {
        Huerto h(Huerto::Enviadas);
        QVERIFY(h.arrancar());
        QVERIFY(h.pulsar(h.nodoAño(2011)));
        for (int i = 0; i < 3; ++i)
            h.w->Inicia_Todo();
        QCOMPARE(control<QComboBox>(*h.w, "ComboTodasHortalizas")->count(), h.bd.contar(u"horticolas"_s));
        QCOMPARE(h.w->sesion().año(), QDate::currentDate().year());
    }
};

QTEST_MAIN(TestInicio)
#include "test_inicio.moc"

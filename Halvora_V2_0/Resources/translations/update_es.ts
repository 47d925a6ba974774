<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impossibile controllare ora.</source>
        <translation>No se puede comprobar ahora.</translation>
    </message>
    <message>
        <source>Sei già aggiornato.</source>
        <translation>Ya estás actualizado.</translation>
    </message>
    <message>
        <source>Scarico…</source>
        <translation>Descargando…</translation>
    </message>
    <message>
        <source>Verifico…</source>
        <translation>Comprobando…</translation>
    </message>
    <message>
        <source>Installo…</source>
        <translation>Instalando…</translation>
    </message>
    <message>
        <source>Il download non è riuscito.</source>
        <translation>La descarga no se ha completado.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non è leggibile.</source>
        <translation>No se puede leer el paquete descargado.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non ha una firma valida: non lo installo.</source>
        <translation>El paquete descargado no tiene una firma válida: no se instalará.</translation>
    </message>
    <message>
        <source>Il pacchetto scaricato non è la versione annunciata.</source>
        <translation>El paquete descargado no es la versión anunciada.</translation>
    </message>
    <message>
        <source>Non si è aperta: avviala da Applicazioni.</source>
        <translation>No se ha abierto: iníciala desde ~/Applications.</translation>
    </message>
</context>
<context>
    <name>AggiornamentoCardView</name>
    <message>
        <source>Versione %1 installata</source>
        <translation>Versión %1 instalada</translation>
    </message>
    <message>
        <source>Aggiornamento non riuscito</source>
        <translation>La actualización ha fallado</translation>
    </message>
    <message>
        <source>Versione %1 disponibile</source>
        <translation>Versión %1 disponible</translation>
    </message>
    <message>
        <source>RIAPRI PER USARLA</source>
        <translation>REÁBRELA PARA USARLA</translation>
    </message>
    <message>
        <source>AGGIORNAMENTO GRATUITO</source>
        <translation>ACTUALIZACIÓN GRATUITA</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Chiude questa versione e apre quella nuova</source>
        <translation>Cierra esta versión y abre la nueva</translation>
    </message>
    <message>
        <source>Aggiorna</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Scarica e installa la versione nuova, poi riavvia</source>
        <translation>Descarga e instala la nueva versión y luego reinicia</translation>
    </message>
    <message>
        <source>Scarica</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <source>Apri la pagina di download nel browser</source>
        <translation>Abre la página de descarga en el navegador</translation>
    </message>
    <message>
        <source>Non ora: te lo richiedo alla prossima versione</source>
        <translation>Ahora no: te lo preguntaré en la próxima versión</translation>
    </message>
</context>
</TS>

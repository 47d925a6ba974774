<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>CLIPBOARD HISTORY</source>
        <translation>HISTORIAL DEL PORTAPAPELES</translation>
    </message>
    <message>
        <source>Cerca negli appunti...</source>
        <translation>Buscar en el portapapeles...</translation>
    </message>
    <message>
        <source>Copia Tutto</source>
        <translation>Copiar todo</translation>
    </message>
    <message>
        <source>Copia un testo per iniziare</source>
        <translation>Copia un texto para empezar</translation>
    </message>
    <message>
        <source>Nessun risultato</source>
        <translation>Sin resultados</translation>
    </message>
    <message>
        <source>Svuota cronologia</source>
        <translation>Borrar historial</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Lingua del sistema</source>
        <translation>Idioma del sistema</translation>
    </message>
    <message>
        <source>inglese</source>
        <translation>inglés</translation>
    </message>
    <message>
        <source>italiano</source>
        <translation>italiano</translation>
    </message>
    <message>
        <source>spagnolo</source>
        <translation>español</translation>
    </message>
</context>
</TS>
